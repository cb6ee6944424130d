#pragma once

#include "colouring/zodidideparser.h"

// Colourer for XML: tags, attributes and their values, entity references and comments.
//
// Line states: 0 text, 1 inside a comment, 2 inside a tag, 4 inside an attribute value.
class ZodiDideXMLParser : public ZodiDideParser {
public:
    QChar *colourLine(const QChar *input, QChar *output) override;
};
