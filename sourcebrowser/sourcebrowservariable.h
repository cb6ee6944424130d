#ifndef SOURCEBROWSER_SOURCEBROWSERVARIABLE_H
#define SOURCEBROWSER_SOURCEBROWSERVARIABLE_H

#include "sourcebrowser/sourcebrowserobject.h"

#include <QStringList>

// A variable, a struct or class member, or (with kind KindTypedef) a typedef.
// The declaration is kept as the type text with the declarator name cut out;
// namePosition says where the name goes back in.
class SourceBrowserVariable : public SourceBrowserObject {
public:
    explicit SourceBrowserVariable(int kind = KindVariable);

    // "unsigned char buffer[]", "void (*handler)(int)", "typedef unsigned char BYTE".
    QString synopsis(int flags) const override;

    // Whether namePosition points inside type; otherwise the name follows the type
    // after one space.
    bool hasNameInside() const { return namePosition >= 0 && namePosition < type.size(); }

    QString type; // trimmed
    bool isStatic = false;
    bool isConst = false;
    int namePosition = -1;
};

// A typedef'd enum; only the enumerator names are kept.
class SourceBrowserEnum : public SourceBrowserVariable {
public:
    SourceBrowserEnum();

    // "typedef enum {\n  A,\n  B\n} Name".
    QString synopsis(int flags) const override;

    QStringList values;
};

#endif
