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

// What preparing a comment found out about the result, which saves searching it again.
struct CommentFacts {
    bool hasNul = true; // it may hold a NUL, where the interpreter stops
};

// The comment as the interpreter reads it: the leading "*" of its lines taken off when
// every inner line has one, a bare "\code" made a C sample, sample indentation removed,
// "\this" replaced by the entity's name. facts, when given, tells what it holds.
QString prepareComment(const QString &comment, const QString &name, CommentFacts *facts = nullptr);

// The declaration as its page's synopsis shows it, before colouring: its synopsis,
// with a semicolon unless it is a macro.
QString declarationText(const SourceBrowserObject &entity);
