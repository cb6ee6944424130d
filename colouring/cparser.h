#pragma once

#include "colouring/standardparser.h"

// The curly-brace colourer with the C and C++ keywords (including the compiler's own
// extension keywords), matched with exact case.
class ZodiDideCParser : public ZodiDideStandardParser {
public:
    ZodiDideCParser();
};
