#ifndef SOURCEBROWSER_SOURCEBROWSEROBJECT_H
#define SOURCEBROWSER_SOURCEBROWSEROBJECT_H

#include <QString>

class SourceBrowserContainer;

// What an entity of the source model is. The value decides in which table of a
// container the entity is filed (see SourceBrowserContainer::addObject).
enum SourceBrowserKind {
    KindNone = 0, // the root container
    KindClass = 1,
    KindMethod = 2,
    KindVariable = 3,
    KindTypedef = 4,
    KindStruct = 5, // struct or union
    KindEnum = 6,
    KindNamespace = 7,
    KindMacro = 8,
};

// Access in force where an entity was declared. The values are bits so that a
// consumer can test sets of them; 3 is never used.
enum SourceBrowserAccess {
    AccessNone = 0, // file scope
    AccessPublic = 1,
    AccessProtected = 2,
    AccessPrivate = 4,
};

// Flags of synopsis(). Only methods look at them; a container distinguishes zero
// (name only) from any other value (full struct form).
enum SourceBrowserSynopsisFlag {
    SynopsisReturnType = 1,               // start with the return type
    SynopsisNoSpaceBeforeParenthesis = 2, // "name(" rather than "name ("
    SynopsisArgumentPerLine = 4,          // each further argument on its own, aligned line
    SynopsisReturnTypeOnOwnLine = 8,      // line break instead of a space after the return type
    SynopsisStripReservedPrefix = 16,     // argument "__name" is shown as "name"
    // The declaration as reference pages show it.
    SynopsisReferencePage = SynopsisReturnType | SynopsisNoSpaceBeforeParenthesis |
                            SynopsisArgumentPerLine | SynopsisStripReservedPrefix,
};

// Base of every entity of the source model. Plain public fields: the parser fills
// them and the documentation generator reads them.
class SourceBrowserObject {
public:
    SourceBrowserObject() = default;
    SourceBrowserObject(const SourceBrowserObject &) = delete;
    SourceBrowserObject &operator=(const SourceBrowserObject &) = delete;
    virtual ~SourceBrowserObject();

    // The declaration as the documentation shows it. The base gives the name.
    virtual QString synopsis(int flags) const;

    // name, or scope + "." + name when the entity sits inside a named container.
    QString qualifiedName() const;

    int kind = KindNone;
    QString name;
    QString scope; // qualified name of the filing container, set by addObject
    int access = AccessNone;
    int declarationLine = -1; // zero-based
    int declarationEndLine = -1;
    int definitionLine = -1;
    int definitionEndLine = -1;
    QString declarationFile;
    QString definitionFile;
    QString comment;                          // raw text of the attached block comment
    int commentLine = -1;                     // one-based line where the comment starts
    QString group;                            // documentation group open when the entity was read
    SourceBrowserContainer *parent = nullptr; // not owning

private:
    friend class SourceBrowserContainer;
    // The container responsible for destroying this entity; null while the
    // entity belongs to whoever created it.
    SourceBrowserContainer *owner_ = nullptr;
};

#endif
