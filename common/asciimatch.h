#pragma once

#include <QStringView>
#include <QtGlobal>

// Whether text starts or ends with an ASCII text known where it is written. Compared in
// place: for the short texts of markup a call into Qt costs more than the comparison,
// and these are asked for every line of a manual or every block of a page.
template <qsizetype N>
inline bool startsWithText(QStringView text, const char (&prefix)[N]) {
    constexpr qsizetype size = N - 1;
    if (text.size() < size)
        return false;
    const char16_t *const at = text.utf16();
    for (qsizetype i = 0; i < size; ++i)
        if (at[i] != char16_t(uchar(prefix[i])))
            return false;
    return true;
}

template <qsizetype N>
inline bool endsWithText(QStringView text, const char (&suffix)[N]) {
    constexpr qsizetype size = N - 1;
    if (text.size() < size)
        return false;
    const char16_t *const at = text.utf16() + text.size() - size;
    for (qsizetype i = 0; i < size; ++i)
        if (at[i] != char16_t(uchar(suffix[i])))
            return false;
    return true;
}
