#include "colourtestutil.h"

#include "colouring/styles.h"

#include <gtest/gtest.h>

#include <vector>

void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

QString readableLine(const QChar *buffer) {
    QString out;
    for (const QChar *p = buffer; !p->isNull(); ++p) {
        if (p->unicode() != StyleMarker) {
            out += *p;
            continue;
        }
        ++p;
        const QString name = styleName(p->unicode());
        out += QLatin1Char('[') +
               (name.isEmpty() ? QLatin1Char('s') + QString::number(p->unicode()) : name) +
               QLatin1Char(']');
    }
    return out;
}

QString colourLines(ZodiDideParser &colourer, const QStringList &lines, int *braceDepth) {
    int scratch = 0;
    if (!braceDepth)
        braceDepth = &scratch;
    QStringList readable;
    for (const QString &line : lines) {
        const size_t bound = size_t(line.size() + 1) * 5 + 3;
        // Room past the bound so that an overrun shows up as a failure, not a crash.
        std::vector<QChar> buffer(bound * 4 + 64, QChar(0x2222));
        const QChar *end = colourer.colourLine(line.constData(), buffer.data(), braceDepth);
        EXPECT_LE(size_t(end - buffer.data()), bound) << qPrintable(line);
        EXPECT_TRUE(end[-1].isNull()) << "colourLine must return just past the terminator";
        readable << readableLine(buffer.data());
    }
    return readable.join(QLatin1Char('\n'));
}
