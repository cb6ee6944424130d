#pragma once

#include <QString>
#include <QStringList>

class DocGen;
class SourceBrowserObject;

// Turns a C/C++ header into one page per documented global declaration (its comment
// begins with "!"), an index page with the header's overview and grouped API
// summary, and a contents entry.
void documentHeader(DocGen &docGen, const QString &inputPath, const QStringList &excludedNames);

// Renders one declaration's documentation comment into the page body.
void documentEntity(DocGen &docGen, const SourceBrowserObject &entity);

// The comment as the interpreter reads it: the leading "*" of its lines taken off when
// every inner line has one, a bare "\code" made a C sample, sample indentation removed,
// "\this" replaced by the entity's name. hasNul, when given, tells whether the result
// holds a NUL.
QString prepareComment(const QString &comment, const QString &name, bool *hasNul = nullptr);

// The declaration as its page's synopsis shows it, before colouring: its synopsis,
// with a semicolon unless it is a macro.
QString declarationText(const SourceBrowserObject &entity);
