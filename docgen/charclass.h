#pragma once

#include <QChar>

// Character classes of the portable (POSIX) locale, which classifies ASCII only:
// codes 128 and above are neither letters, digits, white space nor punctuation.
namespace charclass {
inline bool isAlpha(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}
inline bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}
inline bool isAlnum(QChar c) {
    return isAlpha(c) || isDigit(c);
}
inline bool isSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}
inline bool isPunct(QChar c) {
    const char16_t u = c.unicode();
    return u > ' ' && u < 127 && !isAlnum(c);
}
// Letters, digits and the underscore: the characters of an unbraced word argument.
inline bool isWordChar(QChar c) {
    return isAlnum(c) || c.unicode() == '_';
}
} // namespace charclass
