// The seeded mistakes of tests/cases/warnings: every warning at its file and line, and
// a run without warnings that prints and writes exactly what a run with them does,
// less the warning lines.

#include "tests/support/workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

namespace {

const QString casesDir = QStringLiteral(QUILLGEN_SOURCE_DIR "/tests/cases/warnings");

QByteArray readCase(const QString &relative) {
    QFile file(casesDir + QLatin1Char('/') + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return file.readAll();
}

// Copies the seeded inputs into the workspace's folder "work" and runs quillgen there
// with the case's arguments, so that a page named "../outside" stays in the workspace.
RunResult runSeeded(const Workspace &ws, const std::vector<std::pair<QString, QString>> &env) {
    const QString seeded = casesDir + QStringLiteral("/seeded/");
    QDirIterator it(seeded, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next().mid(seeded.size());
        ws.write(QStringLiteral("work/") + name, readCase(QStringLiteral("seeded/") + name));
    }
    const QStringList args =
        QString::fromUtf8(readCase(QStringLiteral("arguments"))).split(u'\n', Qt::SkipEmptyParts);
    return ws.run(args, env, QStringLiteral("work"));
}

// Every file in the workspace after a run, by relative path.
QMap<QString, QByteArray> files(const Workspace &ws) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(ws.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        contents.insert(it.filePath().mid(ws.path().size()), file.readAll());
    }
    return contents;
}

QString withoutWarnings(const QString &err) {
    QStringList lines = err.split(u'\n');
    lines.removeIf([](const QString &line) {
        return line.contains(QLatin1String(": warning: ")) ||
               line.startsWith(QLatin1String("quillgen: "));
    });
    return lines.join(u'\n');
}

} // namespace

TEST(Warnings, SeededMistakesAreReportedAtTheirLinesAndChangeNoPage) {
    Workspace quiet;
    const RunResult unset = runSeeded(quiet, {});
    EXPECT_EQ(unset.exitCode, 0) << unset.err.toStdString();
    EXPECT_FALSE(unset.err.contains(QLatin1String("warning")));

    const struct {
        const char *words;
        int exitCode;
    } modes[] = {{"0", 0}, {"", 0}, {"1,undocumented", 0}, {"error,undocumented", 2}};
    for (const auto &mode : modes) {
        SCOPED_TRACE(mode.words);
        Workspace ws;
        const RunResult r = runSeeded(ws, {{"QUILLGEN_WARNINGS", mode.words}});
        EXPECT_EQ(r.exitCode, mode.exitCode);
        EXPECT_EQ(r.out, unset.out);
        EXPECT_EQ(withoutWarnings(r.err), unset.err);
        EXPECT_EQ(files(ws), files(quiet));
        if (mode.exitCode != 0 || QByteArray(mode.words).startsWith('1')) {
            EXPECT_EQ(r.err, QString::fromUtf8(readCase(QStringLiteral("expected.err"))));
        }
    }
}

TEST(Warnings, UnknownWordStopsTheRun) {
    Workspace ws;
    ws.write("a.dg", QStringLiteral("\\split a\ntext\n"));
    const RunResult r = ws.run({"a.dg"}, {{"QUILLGEN_WARNINGS", "1,yes"}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("error: QUILLGEN_WARNINGS: unknown word 'yes' (expected 1, "
                                    "on, error or undocumented)\n"));
    EXPECT_FALSE(ws.exists("a.htm"));
}
