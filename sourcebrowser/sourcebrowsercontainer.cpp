#include "sourcebrowser/sourcebrowsercontainer.h"

#include <algorithm>
#include <utility>

namespace {

bool isContainerKind(int kind) {
    return kind == KindClass || kind == KindStruct || kind == KindNamespace;
}

} // namespace

SourceBrowserContainer::SourceBrowserContainer(int kind) {
    this->kind = kind;
}

SourceBrowserContainer::~SourceBrowserContainer() {
    for (SourceBrowserMacro *macro : std::as_const(m_macros))
        dispose(macro);
    for (SourceBrowserVariable *type : std::as_const(m_types))
        dispose(type);
    for (const auto &entry : m_variables)
        dispose(entry.second);
    for (const auto &entry : m_methods)
        dispose(entry.second.method);
    // m_ownedContainers destroys the containers filed here first.
}

QString SourceBrowserContainer::synopsis(int flags) const {
    if (flags == 0)
        return name;
    QString s = QLatin1String("typedef struct {\n");
    for (const auto &entry : m_variables) {
        s += QLatin1String("  ");
        s += entry.second->synopsis(flags);
        s += QLatin1String(";\n");
    }
    s += QLatin1String("} ");
    s += name;
    return s;
}

void SourceBrowserContainer::takeOwnership(SourceBrowserObject *entity) {
    if (entity->owner)
        return;
    entity->owner = this;
    if (isContainerKind(entity->kind))
        m_ownedContainers.emplace_back(static_cast<SourceBrowserContainer *>(entity));
}

void SourceBrowserContainer::dispose(SourceBrowserObject *entity) {
    // Containers stay alive in m_ownedContainers of their owner.
    if (entity->owner == this && !isContainerKind(entity->kind))
        delete entity;
}

void SourceBrowserContainer::addObject(SourceBrowserObject *entity) {
    if (!entity || entity == this)
        return;
    const QString qualified = qualifiedName();
    if (!qualified.isEmpty())
        entity->scope = qualified;

    switch (entity->kind) {
    case KindMacro: {
        auto *macro = dynamic_cast<SourceBrowserMacro *>(entity);
        if (!macro)
            return;
        SourceBrowserMacro *old = m_macros.value(macro->name);
        if (old && old != macro)
            dispose(old);
        m_macros.insert(macro->name, macro);
        break;
    }
    case KindClass:
    case KindStruct: {
        auto *container = dynamic_cast<SourceBrowserContainer *>(entity);
        if (!container)
            return;
        auto &table = entity->kind == KindClass ? m_classes : m_structs;
        QList<SourceBrowserContainer *> &bucket = table[container->name];
        bucket.removeOne(container);
        bucket.append(container);
        break;
    }
    case KindMethod: {
        auto *method = dynamic_cast<SourceBrowserMethod *>(entity);
        if (!method)
            return;
        const auto known = m_methodSequence.constFind(method);
        if (known != m_methodSequence.constEnd())
            unlinkMethod(m_methods.find(known.value()));
        fileMethod(method);
        break;
    }
    case KindVariable: {
        auto *variable = dynamic_cast<SourceBrowserVariable *>(entity);
        if (!variable)
            return;
        const auto found = m_variableByName.constFind(variable->name);
        if (found != m_variableByName.constEnd()) {
            const Sequence sequence = found.value();
            SourceBrowserVariable *old = m_variables.at(sequence);
            unlinkVariable(sequence);
            if (old != variable)
                dispose(old);
        }
        const Sequence sequence = m_nextSequence++;
        m_variables.emplace(sequence, variable);
        m_variableByName.insert(variable->name, sequence);
        break;
    }
    case KindTypedef:
    case KindEnum: {
        auto *type = dynamic_cast<SourceBrowserVariable *>(entity);
        if (!type)
            return;
        SourceBrowserVariable *old = m_types.value(type->name);
        if (old && old != type)
            dispose(old);
        m_types.insert(type->name, type);
        break;
    }
    case KindNamespace: {
        auto *container = dynamic_cast<SourceBrowserContainer *>(entity);
        if (!container)
            return;
        m_namespaces.insert(container->name, container);
        break;
    }
    default:
        entity->parent = this; // not filed; the caller keeps it
        return;
    }
    takeOwnership(entity);
    entity->parent = this;
}

void SourceBrowserContainer::updateScopes() {
    // Iterative: the containers below may nest deeply.
    std::vector<SourceBrowserContainer *> pending{this};
    while (!pending.empty()) {
        SourceBrowserContainer *container = pending.back();
        pending.pop_back();
        const QString scope = container->qualifiedName();
        QList<SourceBrowserObject *> entries;
        container->appendChildren(entries);
        for (const auto *macro : std::as_const(container->m_macros))
            entries.append(const_cast<SourceBrowserMacro *>(macro));
        for (SourceBrowserObject *entry : std::as_const(entries)) {
            if (entry->parent != container)
                continue; // filed here but belongs elsewhere
            entry->scope = scope;
            if (isContainerKind(entry->kind))
                pending.push_back(static_cast<SourceBrowserContainer *>(entry));
        }
    }
}

void SourceBrowserContainer::fileMethod(SourceBrowserMethod *method) {
    const Sequence sequence = m_nextSequence++;
    MethodSlot slot{method, method->name, method->signatureKey()};
    m_methodsByName[slot.name].emplace(sequence, method);
    m_methodsBySignature[slot.signatureKey].emplace(sequence, method);
    m_methodSequence.insert(method, sequence);
    m_methods.emplace(sequence, std::move(slot));
}

void SourceBrowserContainer::unlinkMethod(std::map<Sequence, MethodSlot>::iterator it) {
    const Sequence sequence = it->first;
    const MethodSlot &slot = it->second;
    auto byName = m_methodsByName.find(slot.name);
    if (byName != m_methodsByName.end()) {
        byName->erase(sequence);
        if (byName->empty())
            m_methodsByName.erase(byName);
    }
    auto bySignature = m_methodsBySignature.find(slot.signatureKey);
    if (bySignature != m_methodsBySignature.end()) {
        bySignature->erase(sequence);
        if (bySignature->empty())
            m_methodsBySignature.erase(bySignature);
    }
    m_methodSequence.remove(slot.method);
    m_methods.erase(it);
}

void SourceBrowserContainer::unlinkVariable(Sequence sequence) {
    const auto it = m_variables.find(sequence);
    if (it == m_variables.end())
        return;
    const auto named = m_variableByName.constFind(it->second->name);
    if (named != m_variableByName.constEnd() && named.value() == sequence)
        m_variableByName.erase(named);
    m_variables.erase(it);
}

SourceBrowserMacro *SourceBrowserContainer::findMacro(const QString &name) const {
    return m_macros.value(name);
}

SourceBrowserVariable *SourceBrowserContainer::findType(const QString &name) const {
    return m_types.value(name);
}

SourceBrowserVariable *SourceBrowserContainer::findVariable(const QString &name) const {
    const auto found = m_variableByName.constFind(name);
    if (found == m_variableByName.constEnd())
        return nullptr;
    return m_variables.at(found.value());
}

QList<SourceBrowserMethod *> SourceBrowserContainer::findMethods(const QString &name) const {
    QList<SourceBrowserMethod *> out;
    const auto found = m_methodsByName.constFind(name);
    if (found != m_methodsByName.constEnd()) {
        for (const auto &entry : *found)
            out.append(entry.second);
    }
    return out;
}

SourceBrowserMethod *
SourceBrowserContainer::findSameMethod(const SourceBrowserMethod *method) const {
    if (!method)
        return nullptr;
    const auto found = m_methodsBySignature.constFind(method->signatureKey());
    if (found == m_methodsBySignature.constEnd())
        return nullptr;
    for (const auto &entry : *found) {
        if (entry.second->sameAs(method))
            return entry.second;
    }
    return nullptr;
}

SourceBrowserContainer *SourceBrowserContainer::findClass(const QString &name) const {
    const auto found = m_classes.constFind(name);
    return found == m_classes.constEnd() || found->isEmpty() ? nullptr : found->last();
}

SourceBrowserContainer *SourceBrowserContainer::findNamespace(const QString &name) const {
    return m_namespaces.value(name);
}

SourceBrowserContainer *SourceBrowserContainer::findByQualifiedName(
    const QMap<QString, QList<SourceBrowserContainer *>> &table, const QString &qualifiedName) {
    // Names of classes never contain a full stop, so the last part is the key.
    const QString key = qualifiedName.section(QLatin1Char('.'), -1);
    const auto found = table.constFind(key);
    if (found == table.constEnd())
        return nullptr;
    for (auto it = found->crbegin(); it != found->crend(); ++it) {
        if ((*it)->qualifiedName() == qualifiedName)
            return *it;
    }
    return nullptr;
}

SourceBrowserContainer *
SourceBrowserContainer::findClassByQualifiedName(const QString &qualifiedName) const {
    return findByQualifiedName(m_classes, qualifiedName);
}

SourceBrowserContainer *
SourceBrowserContainer::findStructByQualifiedName(const QString &qualifiedName) const {
    return findByQualifiedName(m_structs, qualifiedName);
}

QList<SourceBrowserMacro *> SourceBrowserContainer::allMacros() const {
    return m_macros.values();
}

QList<SourceBrowserVariable *> SourceBrowserContainer::allTypes() const {
    return m_types.values();
}

QList<SourceBrowserMethod *> SourceBrowserContainer::allMethods() const {
    QList<SourceBrowserMethod *> out;
    out.reserve(qsizetype(m_methods.size()));
    for (const auto &entry : m_methods)
        out.append(entry.second.method);
    return out;
}

QList<SourceBrowserVariable *> SourceBrowserContainer::allVariables() const {
    QList<SourceBrowserVariable *> out;
    out.reserve(qsizetype(m_variables.size()));
    for (const auto &entry : m_variables)
        out.append(entry.second);
    return out;
}

QList<SourceBrowserContainer *>
SourceBrowserContainer::allOf(const QMap<QString, QList<SourceBrowserContainer *>> &table) {
    QList<SourceBrowserContainer *> out;
    for (const QList<SourceBrowserContainer *> &bucket : table)
        out.append(bucket);
    return out;
}

QList<SourceBrowserContainer *> SourceBrowserContainer::allStructs() const {
    return allOf(m_structs);
}

QList<SourceBrowserContainer *> SourceBrowserContainer::allClasses() const {
    return allOf(m_classes);
}

QList<SourceBrowserContainer *> SourceBrowserContainer::allNamespaces() const {
    return m_namespaces.values();
}

void SourceBrowserContainer::removeMethod(SourceBrowserMethod *method) {
    const auto known = m_methodSequence.constFind(method);
    if (known == m_methodSequence.constEnd())
        return;
    unlinkMethod(m_methods.find(known.value()));
    dispose(method);
}

void SourceBrowserContainer::appendChildren(QList<SourceBrowserObject *> &out) const {
    for (const auto &entry : m_methods)
        out.append(entry.second.method);
    for (const auto &bucket : m_structs) {
        for (SourceBrowserContainer *entry : bucket)
            out.append(entry);
    }
    for (const auto &bucket : m_classes) {
        for (SourceBrowserContainer *entry : bucket)
            out.append(entry);
    }
    for (SourceBrowserContainer *entry : m_namespaces)
        out.append(entry);
    for (const auto &entry : m_variables)
        out.append(entry.second);
    for (SourceBrowserVariable *entry : m_types)
        out.append(entry);
}
