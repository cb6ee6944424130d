#include "docgen/htmltext.h"

QString heading(int level, const QString &title) {
    const QString n = QString::number(level + 1);
    return QLatin1String("<h") + n + QLatin1Char('>') + escapeXml(title) + QLatin1String("</h") +
           n + QLatin1Char('>');
}
