#include "colouring/htmlescape.h"

void appendEscapedXml(QString &out, QStringView text) {
    // One pass over the text gives the same result as the chained replacements in
    // ampersand-first order, because no replacement introduces a character that a
    // later one would touch other than its own ampersand.
    const QChar *run = text.data();
    const QChar *end = text.data() + text.size();
    for (const QChar *p = run; p != end; ++p) {
        const QLatin1String entity = xmlEntity(*p);
        if (entity.isEmpty())
            continue;
        out.append(run, int(p - run));
        out.append(entity);
        run = p + 1;
    }
    out.append(run, int(end - run));
}

QString escapeXml(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    appendEscapedXml(out, text);
    return out;
}

qsizetype escapedXmlSize(QStringView text) {
    qsizetype size = text.size();
    for (const QChar c : text)
        size += qMax<qsizetype>(0, xmlEntity(c).size() - 1);
    return size;
}

QChar *copyEscapedXml(QChar *out, QStringView text) {
    for (const QChar c : text) {
        const QLatin1String entity = xmlEntity(c);
        if (entity.isEmpty()) {
            *out++ = c;
        } else {
            for (const char e : entity)
                *out++ = QLatin1Char(e);
        }
    }
    return out;
}
