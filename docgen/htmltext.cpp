#include "docgen/htmltext.h"

void appendHeading(QString &out, int level, const QString &title) {
    const QString n = QString::number(level + 1);
    out += QLatin1String("<h");
    out += n;
    out += QLatin1Char('>');
    appendEscapedXml(out, title);
    out += QLatin1String("</h");
    out += n;
    out += QLatin1Char('>');
}
