#pragma once

#include "colouring/markedlinewriter.h"

#include <QChar>

// Colours the documentation markup inside a documentation comment of a C-like sample
// from input onward, advancing input and output in place, and stops before "*/" or at
// the end of the line. state is the caller's line state: a code section sets it to 4,
// its end sets it to 0; other values are left alone.
void colourMarkup(const QChar *&input, MarkedLineWriter &output, int &state);
