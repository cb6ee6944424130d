#include "tests/support/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// A manual in the working directory, then two headers whose pages go to "out": the
// first header's pages and the manual link to the second's.
const char firstHeader[] = "/*! Opens a port; b_close closes it.\n"
                           " * \\code\n"
                           " * b_close(a_open(\"x\"));\n"
                           " * \\endcode\n"
                           " */\n"
                           "a_port *a_open(const char *name);\n"
                           "/*! A port. */\n"
                           "typedef struct a_port a_port;\n"
                           "/*! \\brief Only a brief.\n"
                           " * \\ingroup Misc\n"
                           " */\n"
                           "int a_brief(void);\n"
                           "int a_undoc(void);\n"
                           "/*! Twice, the first. */\n"
                           "int a_twice(int x);\n"
                           "/*! Twice, the second. */\n"
                           "int a_twice(double x);\n";
const char laterHeader[] = "/*! \\brief Closes what a_open opens.\n"
                           " * Closes a port.\n"
                           " * \\synopsis\n"
                           " */\n"
                           "int b_close(a_port *port);\n";
const char manual[] = "\\split guide\n"
                      "See \\ref{b_close}.\n"
                      "\\code{c}\n"
                      "b_close(a_open(\"b_close\")); /* b_close */ a_brief(); a_undoc(); "
                      "a_twice(1);\n"
                      "\\endcode\n";

} // namespace

TEST(CodeLinks, ModernPagesLinkNamesToTheirDeclarationsPages) {
    Workspace ws;
    ws.write("guide.dg", QByteArray(manual));
    ws.write("a.h", QByteArray(firstHeader));
    ws.write("b.h", QByteArray(laterHeader));
    const RunResult r =
        ws.run({"-o", "out", "guide.dg", "a.h", "b.h"}, {{"QUILLGEN_PAGES", "modern"}});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    const struct {
        const char *page;
        const char *html;
        bool present;
        const char *what;
    } cases[] = {
        {"out/a_open.htm", "<a href=\"b_close.htm\">b_close</a>", true,
         "declared in a later header"},
        {"guide.htm", "<a href=\"out/b_close.htm\">b_close</a></span>", true,
         "from a page in another folder"},
        {"out/a_open.htm", "<a href=\"a_open.htm\">", false, "self, in a sample"},
        {"out/b_close.htm", "<a href=\"b_close.htm\">", false, "self, in the synopsis"},
        {"out/b_close.htm", "<a href=\"a_port.htm\">a_port</a>", true, "a type in the synopsis"},
        {"guide.htm", "<span class=\"qgn-code-comment\">/* b_close */</span>", true,
         "in a comment"},
        {"guide.htm", "<span class=\"qgn-code-literal\">&quot;b_close&quot;</span>", true,
         "in a string"},
        {"guide.htm", "<span class=\"qgn-code-function\">a_undoc</span>", true, "undocumented"},
        {"guide.htm", "<a href=\"out/a_twice.htm\">a_twice</a>", true, "overloaded"},
        {"guide.htm", "<span class=\"qgn-code-function\">a_brief</span>", true,
         "documented, but its page is empty and not written"},
        {"guide.htm", "See <a href=\"out/b_close.htm\">b_close</a>.", true,
         "\\ref to a declaration"},
        {"out/b_h.htm", "Closes what <a href=\"a_open.htm\">a_open</a> opens.", true,
         "in a brief of the summary table"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ws.read(c.page).contains(QLatin1String(c.html)), c.present) << c.what;

    // Every link of these pages, but the index pages' own links to the names of their
    // table (styled), points at a page the run wrote.
    const QRegularExpression href(QStringLiteral("<a href=\"([^\"]*)\">"));
    for (const QString &page : {QStringLiteral("guide.htm"), QStringLiteral("out/a_open.htm"),
                                QStringLiteral("out/b_close.htm"), QStringLiteral("out/a_h.htm"),
                                QStringLiteral("out/b_h.htm")}) {
        const QString folder = QFileInfo(page).path();
        for (const auto &match : href.globalMatch(ws.read(page))) {
            const QString target = match.captured(1);
            EXPECT_TRUE(ws.exists(QDir::cleanPath(folder + u'/' + target)))
                << page.toStdString() << " links to " << target.toStdString();
        }
    }
}
