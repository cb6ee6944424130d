#pragma once

#include <QChar>

// Character classes as the C library reports them in the portable "C" locale, for the
// readers of C-like text (the header scanner, the colourers, the markup reader).
// Characters beyond ASCII belong to none of them, so they never start a word or an
// operator.
namespace charclass {

inline bool isLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

inline bool isDigit(QChar c) {
    const char16_t u = c.unicode();
    return u >= '0' && u <= '9';
}

inline bool isAlnum(QChar c) {
    return isLetter(c) || isDigit(c);
}

inline bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return isDigit(c) || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

inline bool isSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

inline bool isPunct(QChar c) {
    const char16_t u = c.unicode();
    return u > ' ' && u < 0x7f && !isAlnum(c);
}

} // namespace charclass
