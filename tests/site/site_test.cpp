// The reader's site: a run over a small fixture whose
// contents and A-Z pages are compared with golden files and whose search index answers
// a table of queries (tests/site/queries.tsv, run by node when present), which also
// shows how text becomes terms.

#include "tests/support/workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const QString siteTests = QStringLiteral(QUILLGEN_SOURCE_DIR "/tests/site");

QByteArray readFile(const QString &fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

// Copies the fixture into ws and runs quillgen over it as a manual author would.
RunResult runFixture(const Workspace &ws, bool site) {
    for (const QString &name : QDir(siteTests + QStringLiteral("/fixture")).entryList(QDir::Files))
        ws.write(name, readFile(siteTests + QStringLiteral("/fixture/") + name));
    std::vector<std::pair<QString, QString>> env;
    if (site)
        env.emplace_back(QStringLiteral("QUILLGEN_SITE"), QStringLiteral("1"));
    return ws.run({QStringLiteral("-o"), QStringLiteral("api"), QStringLiteral("lamp.h"),
                   QStringLiteral("guide.dg"), QStringLiteral("later.dg")},
                  env);
}

QMap<QString, QByteArray> files(const Workspace &ws) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(ws.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next();
        contents.insert(name.mid(ws.path().size() + 1), readFile(name));
    }
    return contents;
}

} // namespace

TEST(Site, FixtureGivesTheGoldenPagesAndAnswersTheQueries) {
    Workspace ws;
    ws.write(QStringLiteral("api/default.css"), QByteArray("/* the author's own */\n"));
    const RunResult r = runFixture(ws, true);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    for (const char *name : {"contents.htm", "genindex.htm"}) {
        const QString golden = siteTests + QStringLiteral("/golden/") + QLatin1String(name);
        if (qEnvironmentVariableIsSet("QUILLGEN_UPDATE_GOLDEN")) {
            QFile out(golden);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(ws.read(QLatin1String(name)).toUtf8());
        }
        EXPECT_EQ(ws.read(QLatin1String(name)), QString::fromUtf8(readFile(golden))) << name;
    }
    // The stylesheet goes where pages are and none is; the author's copy stays.
    EXPECT_TRUE(ws.exists(QStringLiteral("default.css")));
    EXPECT_EQ(ws.read(QStringLiteral("api/default.css")),
              QStringLiteral("/* the author's own */\n"));

    // Another run writes the same bytes; a run without the site the same pages and no more.
    Workspace again, plain;
    runFixture(again, true);
    again.write(QStringLiteral("api/default.css"), QByteArray("/* the author's own */\n"));
    EXPECT_EQ(files(again), files(ws));
    runFixture(plain, false);
    const QStringList sitePages = {QStringLiteral("search.htm"), QStringLiteral("contents.htm"),
                                   QStringLiteral("genindex.htm")};
    const auto notAPage = [&](const auto &entry) {
        return !entry.key().endsWith(QLatin1String(".htm")) || sitePages.contains(entry.key());
    };
    QMap<QString, QByteArray> pages = files(ws), plainPages = files(plain);
    pages.removeIf(notAPage);
    plainPages.removeIf(notAPage);
    EXPECT_EQ(plainPages, pages);
    EXPECT_EQ(files(plain).size(), plainPages.size() + 3); // the three inputs

    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty())
        GTEST_SKIP() << "node not found: the query table is not run";
    QProcess queries;
    queries.start(node, {siteTests + QStringLiteral("/search_queries.js"), ws.path(),
                         siteTests + QStringLiteral("/queries.tsv")});
    ASSERT_TRUE(queries.waitForFinished(60000));
    EXPECT_EQ(queries.exitCode(), 0) << queries.readAll().toStdString();
}
