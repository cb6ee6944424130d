#pragma once

#include "colouring/zodidideparser.h"
#include "common/wordset.h"

#include <QString>

// Colourer for assembly language: the instruction (the first word after the first run
// of white space) as a keyword, register operands, numbers, strings, comments and
// preprocessor lines.
//
// Line states: StateOutside, StateBlockComment (see commentsandliterals.h), or the quote
// character of a string continued by a trailing backslash.
class ZodiDideAssemblyParser : public ZodiDideParser {
public:
    ZodiDideAssemblyParser();

    QChar *colourLine(const QChar *input, QChar *output) override;

private:
    WordSet registers_;
};
