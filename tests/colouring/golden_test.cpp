// Runs the colouring cases in tests/cases/colouring. Each file holds the cases of one
// language, the file's base name; a case reads
//
//   === what the case shows
//   the sample, on as many lines as it has
//   ---
//   its HTML, each span written as [style] ([-] for a span without a style) and each
//   </span> left out
//
// Lines before the first case are a note on the file, and blank lines after a case's
// HTML separate it from the next. A case headed "..." instead of "===" continues the
// one before it: the colourer keeps its line state from one sample to the next, as it
// does through a run, while every "===" case starts afresh.

#include "colouring/colourcode.h"
#include "colouring/zodidideparser.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct Case {
    int line; // of the header
    QString name;
    bool continues;
    QStringList sample;
    QStringList html;
};

QList<Case> readCases(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QList<Case> cases;
    QStringList *block = nullptr;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QLatin1String("=== ")) || line.startsWith(QLatin1String("... "))) {
            cases.append(Case{int(i + 1), line.mid(4), line.startsWith(u'.'), {}, {}});
            block = &cases.last().sample;
        } else if (block && block == &cases.last().sample && line == QLatin1String("---")) {
            block = &cases.last().html;
        } else if (block) {
            block->append(line);
        }
    }
    for (Case &c : cases) {
        while (!c.html.isEmpty() && c.html.last().isEmpty())
            c.html.removeLast();
    }
    return cases;
}

// The HTML as the cases write it.
QString readable(QString html) {
    static const QRegularExpression span(QStringLiteral("<span class=\"qgn-code-([a-z-]+)\">"));
    html.replace(span, QStringLiteral("[\\1]"));
    html.replace(QLatin1String("<span>"), QLatin1String("[-]"));
    html.remove(QLatin1String("</span>"));
    if (html.endsWith(u'\n'))
        html.chop(1);
    return html;
}

TEST(ColouringCases, EachSampleColoursAsWritten) {
    const QDir dir(QStringLiteral(QUILLGEN_SOURCE_DIR "/tests/cases/colouring"));
    const QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        const QString language = QFileInfo(file).completeBaseName();
        for (const Case &c : readCases(dir.filePath(file))) {
            SCOPED_TRACE(
                QStringLiteral("%1:%2: %3").arg(file).arg(c.line).arg(c.name).toStdString());
            if (ZodiDideParser *colourer = cachedColourer(language); colourer && !c.continues)
                colourer->setLineState(0);
            const QString html = colourCode(c.sample.join(u'\n'), language);
            EXPECT_EQ(readable(html).toStdString(), c.html.join(u'\n').toStdString());
        }
    }
}

} // namespace
