#include "sourcebrowser/sourcebrowsercontainer.h"

#include "common/textappender.h"

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
    for (SourceBrowserMacro *macro : std::as_const(macros_))
        dispose(macro);
    for (SourceBrowserVariable *type : std::as_const(types_))
        dispose(type);
    for (const auto &entry : variables_)
        dispose(entry.second);
    for (const auto &entry : methods_)
        dispose(entry.second.method);
    // ownedContainers_ destroys the containers filed here first.
}

QString SourceBrowserContainer::synopsis(int flags) const {
    if (flags == 0)
        return name;
    QString s = QLatin1String("typedef struct {\n");
    TextAppender text(s);
    for (const auto &entry : variables_) {
        text += QLatin1String("  ");
        text += entry.second->synopsis(flags);
        text += QLatin1String(";\n");
    }
    text += QLatin1String("} ");
    text += name;
    return s;
}

void SourceBrowserContainer::takeOwnership(SourceBrowserObject *entity) {
    if (entity->owner_)
        return;
    entity->owner_ = this;
    if (isContainerKind(entity->kind))
        ownedContainers_.emplace_back(static_cast<SourceBrowserContainer *>(entity));
}

void SourceBrowserContainer::dispose(SourceBrowserObject *entity) {
    // Containers stay alive in ownedContainers_ of their owner.
    if (entity->owner_ == this && !isContainerKind(entity->kind))
        delete entity;
}

template <typename Entity>
void SourceBrowserContainer::replaceByName(QMap<QString, Entity *> &table, Entity *entity) {
    Entity *old = table.value(entity->name);
    if (old && old != entity)
        dispose(old);
    table.insert(entity->name, entity);
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
        replaceByName(macros_, macro);
        break;
    }
    case KindClass:
    case KindStruct: {
        auto *container = dynamic_cast<SourceBrowserContainer *>(entity);
        if (!container)
            return;
        auto &table = entity->kind == KindClass ? classes_ : structs_;
        QList<SourceBrowserContainer *> &bucket = table[container->name];
        bucket.removeOne(container);
        bucket.append(container);
        break;
    }
    case KindMethod: {
        auto *method = dynamic_cast<SourceBrowserMethod *>(entity);
        if (!method)
            return;
        const auto known = methodSequence_.constFind(method);
        if (known != methodSequence_.constEnd())
            unlinkMethod(methods_.find(known.value()));
        fileMethod(method);
        break;
    }
    case KindVariable: {
        auto *variable = dynamic_cast<SourceBrowserVariable *>(entity);
        if (!variable)
            return;
        const auto found = variableByName_.find(variable->name);
        if (found != variableByName_.end()) {
            const Sequence sequence = found->second;
            SourceBrowserVariable *old = variables_.at(sequence);
            unlinkVariable(sequence);
            if (old != variable)
                dispose(old);
        }
        const Sequence sequence = nextSequence_++;
        variables_.emplace(sequence, variable);
        variableByName_.insert_or_assign(variable->name, sequence);
        break;
    }
    case KindTypedef:
    case KindEnum: {
        auto *type = dynamic_cast<SourceBrowserVariable *>(entity);
        if (!type)
            return;
        replaceByName(types_, type);
        break;
    }
    case KindNamespace: {
        auto *container = dynamic_cast<SourceBrowserContainer *>(entity);
        if (!container)
            return;
        namespaces_.insert(container->name, container);
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
        for (const auto *macro : std::as_const(container->macros_))
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
    const Sequence sequence = nextSequence_++;
    MethodSlot slot{method, method->name, method->signatureKey()};
    methodsByName_[slot.name].emplace(sequence, method);
    methodsBySignature_[slot.signatureKey].emplace(sequence, method);
    methodSequence_.insert(method, sequence);
    methods_.emplace(sequence, std::move(slot));
}

void SourceBrowserContainer::unlinkMethod(std::map<Sequence, MethodSlot>::iterator it) {
    const Sequence sequence = it->first;
    const MethodSlot &slot = it->second;
    auto byName = methodsByName_.find(slot.name);
    if (byName != methodsByName_.end()) {
        byName->second.erase(sequence);
        if (byName->second.empty())
            methodsByName_.erase(byName);
    }
    auto bySignature = methodsBySignature_.find(slot.signatureKey);
    if (bySignature != methodsBySignature_.end()) {
        bySignature->second.erase(sequence);
        if (bySignature->second.empty())
            methodsBySignature_.erase(bySignature);
    }
    methodSequence_.remove(slot.method);
    methods_.erase(it);
}

void SourceBrowserContainer::unlinkVariable(Sequence sequence) {
    const auto it = variables_.find(sequence);
    if (it == variables_.end())
        return;
    const auto named = variableByName_.find(it->second->name);
    if (named != variableByName_.end() && named->second == sequence)
        variableByName_.erase(named);
    variables_.erase(it);
}

SourceBrowserMacro *SourceBrowserContainer::findMacro(const QString &name) const {
    return macros_.value(name);
}

SourceBrowserVariable *SourceBrowserContainer::findType(const QString &name) const {
    return types_.value(name);
}

SourceBrowserVariable *SourceBrowserContainer::findVariable(const QString &name) const {
    const auto found = variableByName_.find(name);
    if (found == variableByName_.end())
        return nullptr;
    return variables_.at(found->second);
}

QList<SourceBrowserMethod *> SourceBrowserContainer::findMethods(const QString &name) const {
    QList<SourceBrowserMethod *> out;
    const auto found = methodsByName_.find(name);
    if (found != methodsByName_.end()) {
        for (const auto &entry : found->second)
            out.append(entry.second);
    }
    return out;
}

SourceBrowserMethod *
SourceBrowserContainer::findSameMethod(const SourceBrowserMethod &method) const {
    // A bucket is never left empty, and its first entry is the first in list order.
    const auto found = methodsBySignature_.find(method.signatureKey());
    return found == methodsBySignature_.end() ? nullptr : found->second.begin()->second;
}

SourceBrowserContainer *SourceBrowserContainer::findClass(const QString &name) const {
    const auto found = classes_.constFind(name);
    return found == classes_.constEnd() || found->isEmpty() ? nullptr : found->last();
}

SourceBrowserContainer *SourceBrowserContainer::findNamespace(const QString &name) const {
    return namespaces_.value(name);
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
    return findByQualifiedName(classes_, qualifiedName);
}

SourceBrowserContainer *
SourceBrowserContainer::findStructByQualifiedName(const QString &qualifiedName) const {
    return findByQualifiedName(structs_, qualifiedName);
}

QList<SourceBrowserMacro *> SourceBrowserContainer::allMacros() const {
    return macros_.values();
}

QList<SourceBrowserVariable *> SourceBrowserContainer::allTypes() const {
    return types_.values();
}

QList<SourceBrowserMethod *> SourceBrowserContainer::allMethods() const {
    QList<SourceBrowserMethod *> out;
    out.reserve(qsizetype(methods_.size()));
    for (const auto &entry : methods_)
        out.append(entry.second.method);
    return out;
}

QList<SourceBrowserVariable *> SourceBrowserContainer::allVariables() const {
    QList<SourceBrowserVariable *> out;
    out.reserve(qsizetype(variables_.size()));
    for (const auto &entry : variables_)
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
    return allOf(structs_);
}

QList<SourceBrowserContainer *> SourceBrowserContainer::allClasses() const {
    return allOf(classes_);
}

QList<SourceBrowserContainer *> SourceBrowserContainer::allNamespaces() const {
    return namespaces_.values();
}

void SourceBrowserContainer::removeMethod(SourceBrowserMethod *method) {
    const auto known = methodSequence_.constFind(method);
    if (known == methodSequence_.constEnd())
        return;
    unlinkMethod(methods_.find(known.value()));
    dispose(method);
}

void SourceBrowserContainer::appendChildren(QList<SourceBrowserObject *> &out) const {
    for (const auto &entry : methods_)
        out.append(entry.second.method);
    for (const auto &bucket : structs_) {
        for (SourceBrowserContainer *entry : bucket)
            out.append(entry);
    }
    for (const auto &bucket : classes_) {
        for (SourceBrowserContainer *entry : bucket)
            out.append(entry);
    }
    for (SourceBrowserContainer *entry : namespaces_)
        out.append(entry);
    for (const auto &entry : variables_)
        out.append(entry.second);
    for (SourceBrowserVariable *entry : types_)
        out.append(entry);
}
