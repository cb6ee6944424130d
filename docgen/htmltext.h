#pragma once

#include "colouring/htmlescape.h"
#include "common/textappender.h"

#include <QString>

// Appends "<hN>title</hN>" with N = level + 1 and the title escaped.
void appendHeading(QString &out, int level, const QString &title);

// Appends one character of running text: the middle dot stands for a no-break space.
inline void appendCharText(QString &out, QChar c) {
    if (c.unicode() == 0x00B7)
        TextAppender(out) += QLatin1String("&#160;");
    else
        TextAppender(out) += c;
}
