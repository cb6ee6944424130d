#pragma once

#include "colouring/zodidideparser.h"

// Colourer for XML: tags, attributes and their values, entity references and comments.
class ZodiDideXMLParser : public ZodiDideParser {
public:
    QChar *colourLine(const QChar *input, QChar *output) override;

private:
    // Line states; any other value counts as StateText.
    enum LineState {
        StateText = 0,
        StateComment = 1,
        StateTag = 2,   // after the name of a tag, among its attributes
        StateValue = 4, // inside a quoted attribute value
    };
};
