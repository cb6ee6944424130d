#include "colouring/htmlescape.h"

#include "common/findeither.h"
#include "common/textappender.h"

#include <algorithm>

namespace {

// The first character of [from, end) that xmlEntity() escapes, or end. Most texts have
// few or none: runs between them are found eight characters at a time and copied
// whole.
Q_ALWAYS_INLINE const char16_t *nextEscaped(const char16_t *from, const char16_t *end) {
    return findAnyOf<u'&', u'>', u'<', u'"', u'\'', u'\u00b7'>(from, end);
}

} // namespace

void appendEscapedXml(QString &out, QStringView text) {
    TextAppender appender(out);
    // One pass over the text gives the same result as the chained replacements in
    // ampersand-first order, because no replacement introduces a character that a
    // later one would touch other than its own ampersand.
    const char16_t *run = text.utf16();
    const char16_t *const end = run + text.size();
    for (const char16_t *p = nextEscaped(run, end); p != end; p = nextEscaped(run, end)) {
        appender += QStringView(run, p - run);
        appender += xmlEntity(*p);
        run = p + 1;
    }
    appender += QStringView(run, end - run);
}

QString escapeXml(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    appendEscapedXml(out, text);
    return out;
}

qsizetype escapedXmlSize(QStringView text) {
    const char16_t *const end = text.utf16() + text.size();
    qsizetype size = text.size();
    for (const char16_t *p = nextEscaped(text.utf16(), end); p != end; p = nextEscaped(p + 1, end))
        size += xmlEntity(*p).size() - 1;
    return size;
}

QChar *copyEscapedXml(QChar *out, QStringView text) {
    const char16_t *run = text.utf16();
    const char16_t *const end = run + text.size();
    for (const char16_t *p = nextEscaped(run, end);; p = nextEscaped(run, end)) {
        out = std::copy(reinterpret_cast<const QChar *>(run), reinterpret_cast<const QChar *>(p),
                        out);
        if (p == end)
            return out;
        for (const char e : xmlEntity(*p))
            *out++ = QLatin1Char(e);
        run = p + 1;
    }
}
