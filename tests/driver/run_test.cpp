#include "tests/support/workspace.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString twoPages = QStringLiteral("\\split one\nFirst page.\n\\split two\nSecond page.\n");

QStringList entries(const Workspace &ws) {
    return QDir(ws.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
}

} // namespace

TEST(Run, WithoutInputsPrintsBannerAndUsage) {
    QFile usage(QStringLiteral(QUILLGEN_SOURCE_DIR "/tests/cases/usage.err"));
    ASSERT_TRUE(usage.open(QIODevice::ReadOnly));
    const QString expected = QString::fromUtf8(usage.readAll());
    const QStringList argumentLists[] = {{}, {"-v"}, {"-o", "out"}, {"-v", "-o", "out", "-v"}};
    for (const QStringList &args : argumentLists) {
        Workspace ws;
        const RunResult r = ws.run(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.out + r.err, expected);
        EXPECT_FALSE(ws.exists("out"));
    }
}

TEST(Run, OutputOptionWithoutValueIsAnError) {
    Workspace ws;
    const RunResult r = ws.run({"a.dg", "-o"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "error: argument expected\n");
}

TEST(Run, OnlyTheLastOutputDirectoryIsCreated) {
    Workspace ws;
    ws.write("a.dg", twoPages);
    const RunResult r = ws.run({"-o", "out", "-o", "sub/out2", "a.dg"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << "no banner with inputs";
    EXPECT_FALSE(ws.exists("out"));
    EXPECT_TRUE(ws.exists("sub/out2"));
    // Split pages land relative to the working directory; the contents entry stays in memory.
    EXPECT_TRUE(ws.exists("one.htm"));
    EXPECT_TRUE(ws.exists("two.htm"));
    EXPECT_FALSE(ws.exists("sub/out2/a.xml"));
}

TEST(Run, VerboseReportsTheCleanedInputThenEveryPage) {
    Workspace ws;
    ws.write("a.dg", twoPages);
    ws.write("x/keep", QByteArray());
    const RunResult r = ws.run({"-v", "./x/../a.dg", "notes.txt"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Processing a.dg\nOutputting one.htm\nOutputting two.htm\n"
                     "Processing notes.txt\n");
}

TEST(Run, OtherSuffixesProduceNothing) {
    Workspace ws;
    for (const char *name : {"notes.txt", "a.b.dg", "x.DG", "y.H", "z.dg.bak"})
        ws.write(QString::fromLatin1(name), twoPages);
    const QStringList before = entries(ws);
    const RunResult r = ws.run({"notes.txt", "a.b.dg", "x.DG", "y.H", "z.dg.bak", "missing.dg"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(entries(ws), before);
}

TEST(Run, ReadOnlyPageInTheWayIsReplaced) {
    Workspace ws;
    ws.write("a.dg", twoPages);
    ws.write("one.htm", QByteArray("old"));
    QFile::setPermissions(ws.path("one.htm"), QFileDevice::ReadOwner);
    ASSERT_EQ(ws.run({"a.dg"}).exitCode, 0);
    EXPECT_EQ(pageBody(ws.read("one.htm")), "<p>First page.\n</p>");
}

TEST(Run, UnwritablePageStopsTheRunAndKeepsEarlierPages) {
    Workspace ws;
    ws.write("a.dg", QStringLiteral("\\split first\nOne.\n\\split{missing/page}\nTwo.\n"
                                    "\\split last\nThree.\n"));
    ws.write("b.dg", twoPages);
    const RunResult r = ws.run({"a.dg", "b.dg"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "error: cannot open missing/page.htm\n");
    EXPECT_TRUE(ws.exists("first.htm"));
    EXPECT_FALSE(ws.exists("last.htm"));
    EXPECT_FALSE(ws.exists("one.htm")) << "later inputs are not handled";
}

TEST(Run, AnUnreadableFileNamedByTheEnvironmentStopsTheRunBeforeAnyInput) {
    Workspace ws;
    ws.write("a.dg", twoPages);
    ws.write("bad.xml", QByteArray("<definitions>"));
    const struct {
        const char *variable;
        const char *error;
    } cases[] = {
        {"QUILLGEN_MENU_DEFINITIONS",
         "error: cannot read menu definitions bad.xml: Premature end of document. at line 1, "
         "column 13\n"},
        {"QUILLGEN_PROPERTIES", "error: cannot read property registry bad.xml: unexpected "
                                "element <definitions> instead of <properties> at line 1, "
                                "column 13\n"},
    };
    for (const auto &c : cases) {
        const RunResult r = ws.run({"a.dg"}, {{c.variable, "bad.xml"}});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.error);
        EXPECT_FALSE(ws.exists("one.htm"));
    }
}

TEST(Run, DependencyFileNamesThePagesAndEveryFileRead) {
    Workspace ws;
    ws.write("a.dg", QStringLiteral("\\split one\n\\include part.dg\n\\split two\n"
                                    "\\copyin missing.txt\n\\copyin copied.txt\n"));
    ws.write("part.dg", QStringLiteral("\\present my sample$#.c\n\\include part.dg\n"));
    ws.write("my sample$#.c", QByteArray("int x;\n"));
    ws.write("copied.txt", QByteArray("<b>x</b>\n"));
    ws.write("menus.xml", QByteArray("<definitions/>\n"));
    ws.write("b.h", QByteArray("/*! \\brief B. */\nvoid b(void);\n"));
    const RunResult r =
        ws.run({"a.dg", "b.h", "none.dg"}, {{"QUILLGEN_DEPFILE", "deps.d"},
                                            {"QUILLGEN_MENU_DEFINITIONS", ws.path("menus.xml")}});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    const QString root = ws.path();
    EXPECT_EQ(ws.read("deps.d"),
              QStringLiteral("R/one.htm R/two.htm R/b_h.htm: \\\n  R/menus.xml \\\n"
                             "  R/a.dg \\\n  R/part.dg \\\n  R/my\\ sample$$\\#.c \\\n"
                             "  R/copied.txt \\\n  R/b.h\n")
                  .replace("R/", root + "/"));

    // A failed run writes none: the pages it claims would not be up to date.
    QFile::remove(ws.path("deps.d"));
    ws.write("c.dg", QStringLiteral("\\split{missing/page}\nText.\n"));
    EXPECT_EQ(ws.run({"a.dg", "c.dg"}, {{"QUILLGEN_DEPFILE", "deps.d"}}).exitCode, 1);
    EXPECT_FALSE(ws.exists("deps.d"));
}

TEST(Run, ManualOutputAndPruneWriteWherePagesGoAndDeleteOnlyStalePagesOfTheirOwn) {
    Workspace ws;
    ws.write("src/a.dg", QStringLiteral("\\split one\n\\img pic\n\\split{sub/two}\nTwo.\n"));
    ws.write("src/pic.png", QByteArray("png"));
    const std::vector<std::pair<QString, QString>> env = {{"QUILLGEN_MANUAL_OUTPUT", "../out"},
                                                          {"QUILLGEN_PRUNE", "1"}};
    ASSERT_EQ(ws.run({"a.dg"}, env, "src").exitCode, 0);
    for (const char *file : {"out/one.htm", "out/sub/two.htm", "out/pic.png"})
        EXPECT_TRUE(ws.exists(file)) << file;
    EXPECT_FALSE(ws.exists("src/one.htm"));

    // The second page is renamed; a file of the user's and a manifest line that points
    // out of the folder are left alone.
    ws.write("src/a.dg", QStringLiteral("\\split one\nOne.\n\\split three\nThree.\n"));
    ws.write("out/notes.txt", QByteArray("mine"));
    ws.write("out/.quillgen-pages", ws.read("out/.quillgen-pages") + "../src/pic.png\n");
    const RunResult r = ws.run({"-v", "a.dg"}, env, "src");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(ws.exists("out/three.htm"));
    EXPECT_FALSE(ws.exists("out/sub")) << "the emptied folder goes with its page";
    EXPECT_FALSE(ws.exists("out/pic.png"));
    EXPECT_TRUE(ws.exists("out/notes.txt"));
    EXPECT_TRUE(ws.exists("src/pic.png"));
    EXPECT_TRUE(r.out.contains("Deleting ")) << r.out.toStdString();

    const RunResult wrong = ws.run({"a.dg"}, {{"QUILLGEN_PRUNE", "yes"}}, "src");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err, "error: QUILLGEN_PRUNE: unknown value 'yes' (expected 1, 0, or unset)\n");
}
