#pragma once

#include <QChar>
#include <QLatin1String>
#include <QStringView>

#include <algorithm>

// Copies of text into room made beforehand, written through a pointer: for the places
// that size their output once and fill it, where an append per piece cost more than
// the copying. Each returns where the text it wrote ends.
inline QChar *copyTo(QChar *out, QStringView text) {
    return std::copy(text.begin(), text.end(), out);
}

inline QChar *copyTo(QChar *out, QLatin1String text) {
    for (const char c : text)
        *out++ = QLatin1Char(c);
    return out;
}

inline char *copyTo(char *out, QLatin1String text) {
    return std::copy(text.begin(), text.end(), out);
}
