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

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

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

// What a site file is: its bytes, and the inode and time that tell whether it was
// written again. Hidden files (what a write left half done) count too.
struct FileState {
    QByteArray bytes;
    quint64 inode = 0;
    qint64 changed = 0;
    bool operator==(const FileState &other) const {
        return bytes == other.bytes && inode == other.inode && changed == other.changed;
    }
};

QMap<QString, FileState> siteFiles(const Workspace &ws) {
    QMap<QString, FileState> states;
    const auto add = [&](const QString &name) {
        struct stat info {};
        if (::stat(QFile::encodeName(ws.path(name)).constData(), &info) != 0 ||
            !S_ISREG(info.st_mode))
            return;
        states.insert(name,
                      FileState{readFile(ws.path(name)), quint64(info.st_ino),
                                qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec});
    };
    const auto all = QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString &name : QDir(ws.path()).entryList(all)) {
        if (name.endsWith(QLatin1String(".htm")) && !name.startsWith(u'.') &&
            name != QLatin1String("search.htm") && name != QLatin1String("contents.htm") &&
            name != QLatin1String("genindex.htm"))
            continue; // a page, not the site's
        if (name == QLatin1String("api") || name.endsWith(QLatin1String(".dg")) ||
            name.endsWith(QLatin1String(".h")) || name.endsWith(QLatin1String(".css")))
            continue;
        if (QFileInfo(ws.path(name)).isDir())
            for (const QString &inner : QDir(ws.path(name)).entryList(all))
                add(name + u'/' + inner);
        else
            add(name);
    }
    return states;
}

// Runs quillgen over the fixture's inputs as they stand in ws, with the site, unable to
// write a file of more than fileLimit bytes (as on a disk that fills).
RunResult runLimited(const Workspace &ws, rlim_t fileLimit) {
    QProcess process;
    process.setWorkingDirectory(ws.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUILLGEN_SITE"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([fileLimit] {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        const rlimit limit{fileLimit, fileLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(QUILLGEN_BINARY),
                  {QStringLiteral("-o"), QStringLiteral("api"), QStringLiteral("lamp.h"),
                   QStringLiteral("guide.dg"), QStringLiteral("later.dg")});
    RunResult result;
    if (!process.waitForFinished(120000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace

TEST(Site, RunsLeaveUnchangedFilesAloneAndAFailedOneTheOldSite) {
    Workspace ws;
    ASSERT_EQ(runFixture(ws, true).exitCode, 0);
    const QMap<QString, FileState> first = siteFiles(ws);
    ASSERT_TRUE(first.contains(QStringLiteral("search.htm")));
    ASSERT_TRUE(first.contains(QStringLiteral("search-index/d0.js")));

    // The same inputs: not one file of the site is written again.
    ASSERT_EQ(runFixture(ws, true).exitCode, 0);
    EXPECT_EQ(siteFiles(ws).keys(), first.keys());
    EXPECT_TRUE(siteFiles(ws) == first);

    // A new word on a page, and no room for the search page: the run fails, naming the
    // file and why, and the old site stays as it was, with nothing left half written.
    ws.write(QStringLiteral("guide.dg"), readFile(siteTests + QStringLiteral("/fixture/guide.dg"))
                                             .replace("Welcome.", "Welcome aboard the zeppelin."));
    qint64 largestPage = 0;
    QDirIterator it(ws.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (!first.contains(info.filePath().mid(ws.path().size() + 1)))
            largestPage = std::max(largestPage, info.size());
    }
    const qint64 limit = largestPage + 4096;
    ASSERT_GT(first.value(QStringLiteral("search.htm")).bytes.size(), limit);
    const RunResult failed = runLimited(ws, rlim_t(limit));
    EXPECT_NE(failed.exitCode, 0);
    EXPECT_TRUE(failed.err.contains(QLatin1String("search.htm")) &&
                failed.err.contains(QLatin1String("too large")))
        << failed.err.toStdString();
    EXPECT_EQ(siteFiles(ws).keys(), first.keys());
    EXPECT_TRUE(siteFiles(ws) == first);

    // With room again the new word is found; the shards it left alone keep their files.
    ASSERT_EQ(runLimited(ws, RLIM_INFINITY).exitCode, 0);
    const QMap<QString, FileState> last = siteFiles(ws);
    bool found = false, kept = false;
    for (auto file = last.cbegin(); file != last.cend(); ++file) {
        found = found || file.value().bytes.contains("\"zeppelin\"");
        kept = kept || (file.key().startsWith(QLatin1String("search-index/t")) &&
                        first.value(file.key()) == file.value());
        EXPECT_FALSE(file.key().contains(QLatin1String(".part"))) << file.key().toStdString();
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(kept);
}

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
