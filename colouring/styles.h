#pragma once

#include <QString>

// Style ids of coloured runs. The id doubles as the index into the name table that
// styleName() reads; the names end up in the HTML class of each run.
enum ColourStyle : char16_t {
    StyleText = 0,
    StyleLiteral = 1,
    StyleComment = 2,
    StyleKeyword = 3,
    StyleDisassembly = 4,
    StyleMarkup = 5,
    StyleControl = 6,
    StyleOperator = 7,
    StyleRegister = 8,
    StyleFunction = 9,
    StyleFixme = 10,
    StyleAttention = 11,
    StyleUnnamed = 12,
    StyleDocKeyword = 13,
    StyleDocArgument = 14,
    StyleDocCode = 15,
    StyleAttribute = 16,
};

// Introduces a style change inside a coloured line buffer; the next buffer character is
// the style id. A noncharacter is used because it never occurs in real source text.
constexpr char16_t StyleMarker = 0xFDD0;

// The CSS class suffix of a style, or an empty string for ids without a name.
QString styleName(int id);
