#ifndef SOURCEBROWSER_EVENTINTERFACE_H
#define SOURCEBROWSER_EVENTINTERFACE_H

#include <QString>

// Structural notifications of a parse, for tools that follow a file as it is
// read (outlines, folding). Every hook does nothing unless overridden. Lines are
// zero-based unless stated otherwise.
class SourceBrowserEventInterface {
public:
    virtual ~SourceBrowserEventInterface() = default;

    // Every preprocessor line (its first physical line), and the group markers of
    // documentation comments as "#region <name>" and "#endregion".
    virtual void preprocessorLine(const QString &text, int line);
    // A line comment whose first word is one of the marker words of the parse.
    virtual void markerComment(const QString &word, int line, int lineNumber);
    // A function declared or defined (kind 2, its synopsis(0) as text, the class path
    // of an out-of-class definition as context); a class opened (kind 1 or 5, the
    // name as text); a struct body opened (kind 5, empty name, text "struct", line
    // one-based).
    virtual void declarationStarted(int kind, const QString &name, const QString &text,
                                    const QString &context, int line);
    // After a class or struct body and after each function.
    virtual void declarationFinished();
    // A variable or typedef finished at file, namespace or member level, and the
    // name that follows a struct body (kind 5).
    virtual void variableDeclared(int kind, const QString &name, const QString &text, int line);
    // An access keyword inside a class: AccessPublic, AccessProtected or AccessPrivate.
    virtual void accessChanged(int access, int line);
};

#endif
