#pragma once

#include "colouring/zodidideparser.h"

#include <QString>
#include <QStringList>

#include <ostream>

// Lets test failures show strings as text.
void PrintTo(const QString &text, std::ostream *os);

// Turns a marked line buffer into "[keyword]int[text] [text]x": each marker becomes its
// style name in brackets ("sN" for a style without a name), so a run reaches from its
// tag to the next one; text before the first marker stays bare.
QString readableLine(const QChar *buffer);

// Colours each line in turn with the colourer (so state carries across lines) and joins
// their readable forms with "\n". Fails the current test when a line's output exceeds
// the documented bound of five characters per input character plus three.
QString colourLines(ZodiDideParser &colourer, const QStringList &lines, int *braceDepth = nullptr);
