#ifndef SOURCEBROWSER_SOURCEBROWSERCONTAINER_H
#define SOURCEBROWSER_SOURCEBROWSERCONTAINER_H

#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowsermethod.h"
#include "sourcebrowser/sourcebrowservariable.h"

#include "common/texthash.h"

#include <QHash>
#include <QList>
#include <QMap>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

// One entry of a class's base list.
struct SourceBrowserBaseClass {
    QString name;               // the base specifier's text, template arguments included
    int access = AccessPrivate; // as its access keyword says; private without one
};

// A scope that files entities: a class, struct or union, namespace, or the root.
//
// Tables and lookups:
// - macros, types (typedefs and enums) and namespaces are dictionaries: filing an
//   entity replaces the one of the same name;
// - structs and classes are dictionaries that keep every entry; a lookup returns the
//   most recently filed one;
// - variables and methods are ordered lists in filing order, with name indexes beside
//   them; filing a variable replaces the one of the same name (it moves to the end),
//   methods are never replaced by filing (overloads), see removeMethod.
// The dictionaries iterate in name order.
//
// Ownership: the first container that files an entity owns it. Methods, variables,
// typedefs, enums and macros are destroyed when removed or replaced, and must be
// filed in one container only. Classes, structs and namespaces may be filed in
// several containers (a nested class sits in the root and in its enclosing class)
// and are destroyed with their owner. Every list returned is new and belongs to the
// caller; the entities in it do not.
class SourceBrowserContainer : public SourceBrowserObject {
public:
    explicit SourceBrowserContainer(int kind = KindNone);
    ~SourceBrowserContainer() override;

    // Flags 0: the name. Otherwise "typedef struct {\n", one "  member;\n" line per
    // member variable, and "} name" (the same form for every kind of container).
    QString synopsis(int flags) const override;

    // Files `entity` by its kind (classes, structs, methods, variables, typedefs,
    // enums, namespaces, macros), sets its scope to this container's qualified name
    // (when that is not empty) and its parent to this container. Entities of other
    // kinds are not filed and stay with the caller.
    void addObject(SourceBrowserObject *entity);

    // Sets the scope of everything filed below this container to follow its
    // current qualified name (after the container was renamed).
    void updateScopes();

    SourceBrowserMacro *findMacro(const QString &name) const;
    SourceBrowserVariable *findType(const QString &name) const; // typedef or enum
    SourceBrowserVariable *findVariable(const QString &name) const;
    QList<SourceBrowserMethod *> findMethods(const QString &name) const; // overloads in order
    // The first method in list order with the signature key of `method`.
    SourceBrowserMethod *findSameMethod(const SourceBrowserMethod &method) const;
    SourceBrowserContainer *findClass(const QString &name) const;
    SourceBrowserContainer *findNamespace(const QString &name) const;
    // The most recently filed class whose qualifiedName() is `qualifiedName`
    // ("Outer.Inner"); the classes table itself is keyed by plain names.
    SourceBrowserContainer *findClassByQualifiedName(const QString &qualifiedName) const;
    // The same for the structs table.
    SourceBrowserContainer *findStructByQualifiedName(const QString &qualifiedName) const;

    QList<SourceBrowserMacro *> allMacros() const;
    QList<SourceBrowserVariable *> allTypes() const;
    QList<SourceBrowserMethod *> allMethods() const;
    QList<SourceBrowserVariable *> allVariables() const;
    QList<SourceBrowserContainer *> allStructs() const;
    QList<SourceBrowserContainer *> allClasses() const;
    QList<SourceBrowserContainer *> allNamespaces() const;

    // Unlinks `method` from the method tables and destroys it (when this container
    // owns it).
    void removeMethod(SourceBrowserMethod *method);

    QList<SourceBrowserBaseClass> baseClasses;

private:
    struct MethodSlot {
        SourceBrowserMethod *method;
        QString name;         // as filed, to find the name bucket again
        QString signatureKey; // as filed
    };
    using Sequence = quint64;

    void takeOwnership(SourceBrowserObject *entity);
    void dispose(SourceBrowserObject *entity);
    // Files `entity` under its name, disposing of the one it replaces.
    template <typename Entity>
    void replaceByName(QMap<QString, Entity *> &table, Entity *entity);
    void fileMethod(SourceBrowserMethod *method);
    void unlinkMethod(std::map<Sequence, MethodSlot>::iterator it);
    void unlinkVariable(Sequence sequence);
    static SourceBrowserContainer *
    findByQualifiedName(const QMap<QString, QList<SourceBrowserContainer *>> &table,
                        const QString &qualifiedName);
    static QList<SourceBrowserContainer *>
    allOf(const QMap<QString, QList<SourceBrowserContainer *>> &table);
    // Appends every entity filed here except the macros.
    void appendChildren(QList<SourceBrowserObject *> &out) const;

    Sequence nextSequence_ = 0;
    QMap<QString, SourceBrowserMacro *> macros_;
    QMap<QString, SourceBrowserVariable *> types_;
    std::map<Sequence, SourceBrowserVariable *> variables_;
    // Name tables hashed by textHash (common/texthash.h) rather than Qt's string hash:
    // every declaration filed is looked up by name, and names are short and not hostile.
    std::unordered_map<QString, Sequence, TextHash> variableByName_;
    std::map<Sequence, MethodSlot> methods_;
    QHash<const SourceBrowserMethod *, Sequence> methodSequence_;
    std::unordered_map<QString, std::map<Sequence, SourceBrowserMethod *>, TextHash> methodsByName_;
    std::unordered_map<QString, std::map<Sequence, SourceBrowserMethod *>, TextHash>
        methodsBySignature_;
    QMap<QString, QList<SourceBrowserContainer *>> structs_; // oldest first per name
    QMap<QString, QList<SourceBrowserContainer *>> classes_;
    QMap<QString, SourceBrowserContainer *> namespaces_;
    // Containers this one filed first; they live as long as this container, even
    // after being unlinked from the tables, since other containers may still list them.
    std::vector<std::unique_ptr<SourceBrowserContainer>> ownedContainers_;
};

#endif
