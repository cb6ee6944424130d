#ifndef SOURCEBROWSER_SOURCEBROWSERMETHOD_H
#define SOURCEBROWSER_SOURCEBROWSERMETHOD_H

#include "sourcebrowser/sourcebrowservariable.h"

#include <QList>

// One parameter of a function, kept like a variable: type text with the name cut
// out at namePosition.
struct SourceBrowserArgument {
    QString name; // trimmed; empty for an unnamed parameter
    QString type; // trimmed
    int namePosition = -1;

    // The parameter as it appears inside a method synopsis rendered with `flags`.
    QString text(int flags) const;
};

// A function or method; `type` holds the return type.
class SourceBrowserMethod : public SourceBrowserVariable {
public:
    SourceBrowserMethod();

    // See SourceBrowserSynopsisFlag. With flags 0: "copy (char *dst, const char *src)";
    // with SynopsisReferencePage: "char *copy(char *dst,\n           const char *src)".
    QString synopsis(int flags) const override;
    // The name and the argument types (not their names): equal for two methods exactly
    // when they declare the same function, such as a prototype and its definition.
    QString signatureKey() const;

    QList<SourceBrowserArgument> arguments;
    bool isVirtual = false;
};

#endif
