#include "tests/support/workspace.h"

#include "docgen/headerpipeline.h"

#include <gtest/gtest.h>

// Stars come off only when every inner line has one; a sample's first line sets the
// indentation that its lines lose, the space that stands for a star included.
TEST(PrepareComment, StripsStarsAndNormalisesSamples) {
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"!\n * Reset the port.\n ", "!\n  Reset the port.\n "},
        {"!\n * a\n *\n * b\n */", "!\n  a\n\n  b\n /"},
        {"!\n * a\n plain\n * b", "!\n * a\n plain\n * b"},
        {"* one line", "  one line"},
        {"!*x\n*y", "!*x\n y"},
        {"", ""},
        {"!\n\t*  \t\n * a\nlast", "!\n\n  a\nlast"},
        {"!\n * a\n\n", "!\n * a\n\n"},
        {"!\\code\n    a\n      b\n  c\n\\endcode\n    text",
         "!\\code{c}\na\n  b\nc\n\\endcode\n    text"},
        {"!\\code{xml}\n  <a/>\n\\endcode", "!\\code{xml}\n<a/>\n\\endcode"},
        {"!See \\this and \\b \\this.", "!See port_open and \\b port_open."},
        {"!\\code", "!\\code{c}"},
        {"!\\codex y", "!\\code{c}x y"},
        {"!\n * \\code\n *   a\n *     b\n *\n * c\n * \\endcode\n *   d",
         "!\n  \\code{c}\na\n  b\n\nc\n\\endcode\n    d"},
        {"!\n * \\code\n *a\n *   b\n */", "!\n  \\code{c}\na\n   b\n/"},
        {"!\\code\n\n   a\n b\\endcode x\n  y", "!\\code{c}\n\n   a\n b\\endcode x\n  y"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(prepareComment(QString::fromUtf8(c.in), "port_open"), QString::fromUtf8(c.out))
            << c.in;
}

// A header that cannot be read still gets its index page, with an empty summary.
TEST(DocumentHeader, MissingHeaderStillGetsAnIndexPage) {
    Workspace ws;
    ASSERT_EQ(ws.run({"none.h"}).exitCode, 0);
    EXPECT_TRUE(ws.exists("none_h.htm"));
}

// The order of the summary tables is program-wide: groups named by an earlier input keep
// their place.
TEST(DocumentHeader, GroupsCarryOverFromEarlierInputs) {
    Workspace ws;
    ws.write("order.dg", QStringLiteral("\\grouporder{Setup, Ports}\n"));
    ws.write("a.h", QStringLiteral("/*! A.\n\\ingroup First */\nvoid a(void);\n"));
    ws.write("b.h", QStringLiteral("/*! B.\n\\ingroup Ports */\nvoid b(void);\n"));
    const RunResult r = ws.run({"-o", "out", "order.dg", "a.h", "b.h"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString index = pageBody(ws.read("out/b_h.htm"));
    const qsizetype setup = index.indexOf("<b>Setup</b>");
    const qsizetype ports = index.indexOf("<b>Ports</b>");
    const qsizetype first = index.indexOf("<b>First</b>");
    EXPECT_TRUE(setup >= 0 && setup < ports && ports < first) << index.toStdString();
    EXPECT_FALSE(index.contains("a.htm"));
    EXPECT_TRUE(ws.exists("out/a.htm"));
    EXPECT_TRUE(ws.exists("out/b.htm"));
    EXPECT_FALSE(ws.exists("out/b.xml"));
}

// A header longer than the window its declarations are prepared in ahead of their pages:
// every declaration still gets its page, the same page as in a header of its own.
TEST(DocumentHeader, LongHeaderPagesMatchLoneDeclarationPages) {
    const auto declaration = [](int i) {
        return QStringLiteral("/*! Reads port %1.\n * \\synopsis\n * \\code\n"
                              " *   int r = f%1(1); // read\n * \\endcode\n */\n"
                              "int f%1(int port);\n")
            .arg(i);
    };
    Workspace ws;
    QString header;
    for (int i = 0; i < 700; ++i)
        header += declaration(i);
    ws.write("long.h", header);
    ws.write("one.h", declaration(650));
    ASSERT_EQ(ws.run({"-o", "long", "long.h"}).exitCode, 0);
    ASSERT_EQ(ws.run({"-o", "one", "one.h"}).exitCode, 0);
    for (int i = 0; i < 700; ++i)
        ASSERT_TRUE(ws.exists(QStringLiteral("long/f%1.htm").arg(i))) << i;
    const QString page = ws.read("long/f650.htm");
    EXPECT_TRUE(page.contains("qgn-code")) << page.toStdString();
    EXPECT_EQ(page, ws.read("one/f650.htm"));
}
