#pragma once

#include "colouring/standardparser.h"

// The curly-brace colourer with the JavaScript keywords and reserved words, matched with
// exact case.
class ZodiDideJavaScriptParser : public ZodiDideStandardParser {
public:
    ZodiDideJavaScriptParser();
};
