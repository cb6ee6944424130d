#include "colouring/htmlescape.h"

void appendEscapedXml(QString &out, QStringView text)
{
    // One pass over the text gives the same result as the chained replacements in
    // ampersand-first order, because no replacement introduces a character that a
    // later one would touch other than its own ampersand.
    const QChar *run = text.data();
    const QChar *end = text.data() + text.size();
    for (const QChar *p = run; p != end; ++p) {
        QLatin1String entity;
        switch (p->unicode()) {
        case '&':
            entity = QLatin1String("&amp;");
            break;
        case '>':
            entity = QLatin1String("&gt;");
            break;
        case '<':
            entity = QLatin1String("&lt;");
            break;
        case '"':
            entity = QLatin1String("&quot;");
            break;
        case '\'':
            entity = QLatin1String("&apos;");
            break;
        case 0x00B7:
            entity = QLatin1String("&middot;");
            break;
        default:
            continue;
        }
        out.append(run, int(p - run));
        out.append(entity);
        run = p + 1;
    }
    out.append(run, int(end - run));
}

QString escapeXml(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    appendEscapedXml(out, text);
    return out;
}
