#pragma once

#include <QChar>
#include <QString>

#include <utility>

// Whether text is as QString::simplified() would leave it: no white space at its ends,
// and none within but single spaces.
inline bool isSimplified(const QString &text) {
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    bool afterSpace = true; // at the start, a space would be leading
    for (const QChar *at = begin; at != end; ++at) {
        const char16_t c = at->unicode();
        if (c == u' ') {
            if (afterSpace)
                return false;
            afterSpace = true;
        } else if (c < 0x80 ? c >= u'\t' && c <= u'\r' : at->isSpace()) {
            return false;
        } else {
            afterSpace = false;
        }
    }
    return begin == end || !afterSpace;
}

// QString::simplified(), with a text that is simple already (as most one-line
// arguments are) kept as it is after one quick pass instead of Qt's copy.
inline QString simplified(QString &&text) {
    if (isSimplified(text))
        return std::move(text);
    return std::move(text).simplified();
}
