#pragma once

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
    qsizetype i = 0;
    while (i + length <= size && !matchesAt(i))
        ++i;
    if (i + length > size)
        return false;
    QString out;
    out.reserve(size + 8 * qMax<qsizetype>(0, to.size() - length));
    qsizetype run = 0;
    while (i + length <= size) {
        if (!matchesAt(i)) {
            ++i;
            continue;
        }
        out.append(data + run, i - run);
        out += to;
        i += length;
        run = i;
    }
    out.append(data + run, size - run);
    text = std::move(out);
    return true;
}
