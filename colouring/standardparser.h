#pragma once

#include "colouring/zodidideparser.h"
#include "common/wordset.h"

#include <QString>
#include <QStringList>

// Colourer for curly-brace languages: comments and documentation comments, string and
// character literals, numbers, preprocessor lines, keywords, calls and operators.
// Subclasses only supply the keywords.
//
// Line states: StateOutside, StateBlockComment (see commentsandliterals.h),
// StateDocText and StateDocCode inside a documentation comment (see markupcolourer.h),
// or the quote character of a literal continued by a trailing backslash.
class ZodiDideStandardParser : public ZodiDideParser {
public:
    QChar *colourLine(const QChar *input, QChar *output) override;

protected:
    // The keywords match with exact case.
    explicit ZodiDideStandardParser(const QStringList &keywords);

private:
    WordSet keywords_;
};
