#include "tests/docgen/markuptest.h"
#include "tests/support/workspace.h"

#include "docgen/docgen.h"
#include "docgen/headerpipeline.h"
#include "docgen/programtables.h"

#include <gtest/gtest.h>

namespace {

struct HeaderRun {
    OutputPageList pages;
    const OutputPage *page(const QString &fileName) const {
        for (const OutputPage &p : pages)
            if (p.fileName == fileName)
                return &p;
        return nullptr;
    }
};

HeaderRun runHeader(const Workspace &ws, const QString &name, const QString &text) {
    ws.write(name, text);
    HeaderRun run;
    DocGen doc;
    doc.processFile(1, ws.path(name), "out", run.pages, QString(), {});
    return run;
}

} // namespace

TEST(StripCommentStars, RemovesStarsOnlyWhenEveryInnerLineHasOne) {
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
    };
    for (const auto &c : cases)
        EXPECT_EQ(stripCommentStars(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(PrepareComment, CodeSamplesLoseTheirFirstLineIndent) {
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"!\\code\n    a\n      b\n  c\n\\endcode\n    text",
         "!\\code{c}\na\n  b\nc\n\\endcode\n    text"},
        {"!\\code{xml}\n  <a/>\n\\endcode", "!\\code{xml}\n<a/>\n\\endcode"},
        {"!See \\this and \\b \\this.", "!See port_open and \\b port_open."},
        {"!\\code", "!\\code{c}"},
        {"!\\codex y", "!\\code{c}x y"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(prepareComment(QString::fromUtf8(c.in), "port_open"), QString::fromUtf8(c.out))
            << c.in;
}

TEST(DocumentHeader, PagesIndexAndContentsInOrder) {
    Workspace ws;
    const HeaderRun run =
        runHeader(ws, "uart.h",
                  "/*! Initialises the port.\n \\ingroup Ports */\nvoid uart_init(void);\n"
                  "/* plain comment */\nvoid uart_plain(void);\n");
    EXPECT_EQ(fileNames(run.pages),
              (QStringList{"out/uart_init.htm", "out/uart_h.htm", "out/uart.xml"}));
    ASSERT_EQ(run.pages.size(), 3);
    EXPECT_EQ(run.pages.at(0).title, "uart_init");
    // "\\ingroup" leaves the block without closing it.
    EXPECT_EQ(pageBody(run.pages.at(0).text), "<p>Initialises the port.\n ");
    EXPECT_EQ(run.pages.at(1).title, "uart.h");
    EXPECT_TRUE(run.pages.at(1).text.contains("<title style=\"\">&lt;uart.h&gt;</title>"));
    EXPECT_EQ(run.pages.at(2).text, "<contents>\n<content url=\"uart_h.htm\">\n"
                                    "<content url=\"uart_init.htm\" />\n</content>\n</contents>");
    const QString index = pageBody(run.pages.at(1).text);
    EXPECT_TRUE(index.startsWith("<h3>API Summary</h3><table")) << index.toStdString();
    EXPECT_TRUE(index.contains("<b>Ports</b>"));
    EXPECT_TRUE(index.contains("<a href=\"uart_init.htm\" style=\"Heading\">uart_init</a>"));
    EXPECT_FALSE(index.contains("uart_plain"));
}

TEST(DocumentHeader, ContentsLinesAreSortedByCharacterCode) {
    Workspace ws;
    const HeaderRun run = runHeader(ws, "x.h",
                                    "/*! b */\nvoid beta(void);\n/*! Z */\nvoid Zed(void);\n"
                                    "/*! a */\nvoid alpha(void);\n");
    const OutputPage *contents = run.page("out/x.xml");
    ASSERT_TRUE(contents);
    EXPECT_TRUE(
        contents->text.contains("<content url=\"Zed.htm\" />\n<content url=\"alpha.htm\" />\n"
                                "<content url=\"beta.htm\" />"))
        << contents->text.toStdString();
}

TEST(DocumentHeader, MissingHeaderStillGetsAnIndexPage) {
    HeaderRun run;
    DocGen doc;
    doc.processFile(1, "/nonexistent/dir/none.h", "out", run.pages, QString(), {});
    EXPECT_EQ(fileNames(run.pages), (QStringList{"out/none_h.htm", "out/none.xml"}));
    EXPECT_EQ(run.pages.at(1).text,
              "<contents>\n<content url=\"none_h.htm\">\n\n</content>\n</contents>");
}

TEST(DocumentHeader, GroupsCarryOverFromEarlierInputs) {
    programTables().groupOrder.clear();
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
    programTables().groupOrder.clear();
}

TEST(DocumentHeader, OverviewGroupOrderAppliesToItsOwnTable) {
    programTables().groupOrder.clear();
    Workspace ws;
    const HeaderRun run = runHeader(ws, "g.h",
                                    "/*!! \\overview\nText.\n\\grouporder{B, A}\n*/\n"
                                    "/*! a\n \\ingroup A */\nvoid fa(void);\n"
                                    "/*! b\n \\ingroup B */\nvoid fb(void);\n");
    const OutputPage *index = run.page("out/g_h.htm");
    ASSERT_TRUE(index);
    EXPECT_LT(index->text.indexOf("<b>B</b>"), index->text.indexOf("<b>A</b>"));
    EXPECT_GE(index->text.indexOf("<b>B</b>"), 0);
    programTables().groupOrder.clear();
}
