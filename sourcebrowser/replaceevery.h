#pragma once

#include "common/findeither.h"
#include "common/textappender.h"

#include <QLatin1String>
#include <QString>

// Replaces every occurrence of `from` in text with `to`, left to right and without
// overlaps, exactly as QString::replace does, and reports whether there was one.
// Synopses are short and most patterns are absent from them: a plain scan costs less
// than the matcher QString::replace sets up on every call, and nothing is allocated
// when nothing matches. `from` must not be empty.
inline bool replaceEvery(QString &text, QLatin1String from, QLatin1String to) {
    const qsizetype size = text.size();
    const qsizetype length = from.size();
    const QChar *const data = text.constData();
    const auto matchesAt = [&](qsizetype at) {
        for (qsizetype k = 0; k < length; ++k) {
            if (data[at + k].unicode() != char16_t(uchar(from.data()[k])))
                return false;
        }
        return true;
    };
    // The first match is looked for through the first character of `from` that is not a
    // space, eight characters at a time: spaces are everywhere in a synopsis, and the
    // other characters of the patterns mostly nowhere.
    qsizetype anchor = 0;
    while (anchor < length - 1 && from.data()[anchor] == ' ')
        ++anchor;
    const char16_t first = char16_t(uchar(from.data()[anchor]));
    const char16_t *const begin = reinterpret_cast<const char16_t *>(data);
    const char16_t *const end = begin + size;
    qsizetype i = -1;
    for (const char16_t *at = begin + anchor; at < end; ++at) {
        at = findEither(at, end, first, first);
        if (at == end)
            break;
        const qsizetype start = (at - begin) - anchor;
        if (start + length <= size && matchesAt(start)) {
            i = start;
            break;
        }
    }
    if (i < 0)
        return false;
    QString out;
    out.reserve(size + 8 * qMax<qsizetype>(0, to.size() - length));
    TextAppender appender(out);
    qsizetype run = 0;
    while (i + length <= size) {
        if (!matchesAt(i)) {
            ++i;
            continue;
        }
        appender.append(data + run, i - run);
        appender += to;
        i += length;
        run = i;
    }
    appender.append(data + run, size - run);
    text = std::move(out);
    return true;
}
