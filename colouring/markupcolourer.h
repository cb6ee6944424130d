#pragma once

#include "colouring/markedlinewriter.h"

#include <QChar>

// Where a documentation comment of a C-like sample stands, as a line state of its
// colourer: the values are apart from the colourer's own states and from quotes.
enum DocumentationCommentState {
    StateDocText = 3,
    StateDocCode = 4, // in a code section, from "\code" to "\endcode"
};

// Colours the documentation markup inside a documentation comment from input onward,
// advancing input and output in place, and stops before "*/" or at the end of the
// line. state is StateDocText or StateDocCode and follows the code sections.
void colourMarkup(const QChar *&input, MarkedLineWriter &output, int &state);
