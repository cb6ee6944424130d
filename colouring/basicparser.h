#pragma once

#include "colouring/zodidideparser.h"
#include "common/wordset.h"

#include <QString>

// Colourer for BASIC listings: line numbers, strings, remarks (after an apostrophe or
// REM) and the interpreter's keywords in any letter case. Every line stands alone.
class ZodiDideCoreBASICParser : public ZodiDideParser {
public:
    ZodiDideCoreBASICParser();

    QChar *colourLine(const QChar *input, QChar *output) override;

private:
    WordSet keywords_; // upper-case
};
