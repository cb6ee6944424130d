#include "tests/docgen/markuptest.h"
#include "tests/support/workspace.h"

#include "docgen/docgen.h"
#include "docgen/interpreter.h"
#include "docgen/programtables.h"

#include <gtest/gtest.h>

namespace {

const char *const tableOpener = "<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" "
                                "cellspacing=\"2\" border=\"0\" ";

} // namespace

TEST(Interpreter, ParagraphsAndBreaks) {
    checkMarkup({
        {"", ""},
        {"  \n\n  Hello", "<p>Hello</p>"},
        {"one\ntwo", "<p>one\ntwo</p>"},
        {"one\n\n\ntwo", "<p>one</p><p>two</p>"},
        {"a <> b", "<p>a &nbsp; b</p>"},
        {"x\u00b7y <i>&", "<p>x&#160;y <i>&</p>"},
        {"\\B \\nosuch text", "<p>text</p>"},
        {"a\\\nb", "<p>a\nb</p>"},
        {"\\style{div}Boxed\n\nNext", "<div>Boxed</div><p>Next</p>"},
        {"Text\\style{div} more\n\nNext", "<p>Text more</div><p>Next</p>"},
    });
}

TEST(Interpreter, NulCharacterEndsTheText) {
    EXPECT_EQ(renderMarkup(QStringLiteral("stop") + QChar(0) + QStringLiteral("hidden")),
              "<p>stop</p>");
    EXPECT_EQ(
        renderMarkup(QStringLiteral("\\code{x}\na") + QChar(0) + QStringLiteral("b\\endcode")),
        "\n<pre class=\"qgn-code\">a</pre>");
}

TEST(Interpreter, HeadingsAndRawText) {
    checkMarkup({
        {"\\section Setup & run\nText", "<h3>Setup &amp; run</h3><p>Text</p>"},
        {"\\subsection{Sub}", "<h4>Sub</h4>"},
        {"\\overview", "<h3>Overview</h3>"},
        {"text\\h2 Two\\h3{Three}", "<p>text</p><h2>Two</h2><h3>Three</h3>"},
        {"\\document The <Guide>\n\\subtitle Sub", "<document>The &lt;Guide&gt;</document>"
                                                   "<subtitle>Sub</subtitle>"},
        {"Para\\copy <hr/>\nAfter", "<p>Para</p><hr/><p>After</p>"},
        {"\\line 42 text", "<p>text</p>"},
        {"\\here x", "<p>x</p>"},
    });
    checkMarkup({{"\\section Setup", "<h2>Setup</h2>"}, {"\\subsection S", "<h3>S</h3>"}}, 0);
}

TEST(Interpreter, Lists) {
    checkMarkup({
        {"\\item one\n\\item two", "<ul><li>one\n</li>\n<li>two</li></ul>"},
        {"\\item{Name} text", "<ul><li><i>Name</i>:&nbsp;&nbsp;text</li></ul>"},
        {"\\item{a<b}x", "<ul><li><i>a&lt;b</i>:&nbsp;&nbsp;x</li></ul>"},
        {"\\term Word\n\\item Meaning", "<dl><dt>Word\n</dt>\n<dd>Meaning</dd></dl>"},
        {"\\term A\n\\item a\n\\term B\n\\item b",
         "<dl><dt>A\n</dt>\n<dd>a\n</dd>\n<dt>B\n</dt>\n<dd>b</dd></dl>"},
        {"\\step one\\step two", "<ol><li> one</li>\n<li> two</li></ol>"},
        {"\\item one\n\nAfter", "<ul><li>one</li></ul><p>After</p>"},
        {"Text\n\\item x", "<p>Text\n</p><ul><li>x</li></ul>"},
    });
}

TEST(Interpreter, Tables) {
    const QString open = QString::fromLatin1(tableOpener);
    const struct {
        const char *markup;
        QString body;
    } cases[] = {
        {"\\table{1in,*}\n||A|B||1|2\n\\endtable",
         open + "cols=\"2\" fm_widths=\"1in,4in\">\n\n<tr bgcolor=\"#cccccc\"><td>\nA</td><td>B"
                "</td></tr>\n<tr><td>1</td><td valign=\"top\">2\n</td></tr></table>"},
        {"\\table{2cm}", open + "cols=\"1\" fm_widths=\"0.787402in\">\n</td></tr></table>"},
        {"\\table 1in,*", open + "cols=\"1\" fm_widths=\"1in\">\n,*</td></tr></table>"},
        {"\\table{1.5in,x,,*}",
         open + "cols=\"4\" fm_widths=\"1.5in,0in,0in,3.5in\">\n</td></tr></table>"},
        {"\\table{*}||h||a||b||-Part  <one>\n",
         open + "cols=\"1\" fm_widths=\"5in\">\n<tr bgcolor=\"#cccccc\"><td>\nh</td></tr>\n"
                "<tr><td>a</td></tr>\n<tr><td valign=\"top\">b</td></tr>\n"
                "<tr><td colspan=\"100%\"><b>Part &lt;one&gt;</b>\n</td></tr></table>"},
        {"\\table{*}||a\n\nafter",
         open + "cols=\"1\" fm_widths=\"5in\">\n<tr bgcolor=\"#cccccc\"><td>\na</td></tr>"
                "</table><p>after</p>"},
        {"\\table{*}||a\\table{*}||b",
         open + "cols=\"1\" fm_widths=\"5in\">\n<tr bgcolor=\"#cccccc\"><td>\na"
                "<tr bgcolor=\"#cccccc\"><td>\nb</td></tr></table>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(renderMarkup(QString::fromUtf8(c.markup)), c.body) << c.markup;

    EXPECT_EQ(renderMarkup("\\table{*}||A|B||1|2", 0),
              open + "cols=\"1\" fm_widths=\"5in\">\n<tr bgcolor=\"#cccccc\"><th>\nA</th><th>B"
                     "</th></tr>\n<tr><td>1</td><td valign=\"top\">2</td></tr></table>");
}

TEST(Interpreter, Matrices) {
    const QString open = "<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"0\" "
                         "cellspacing=\"4\" border=\"0\" cols=\"3\" fm_widths=\"2in,2in,2in\">\n";
    const QString col = "<col width=\"30%\"/>";
    const QString cell = "<td valign=\"top\">\n";
    EXPECT_EQ(renderMarkup("\\matrix{a,b,c}\n|1|2|3|4\n\\endmatrix"),
              open + col + col + col + "\n<tr>\n" + cell + "1</td>\n" + cell + "2</td>\n" + cell +
                  "3</td>\n</tr>\n<tr>" + cell + "4\n</td>\n" + cell + "</td>\n" + cell +
                  "</td></tr></table>");
    // A matrix in a table closes the table.
    EXPECT_TRUE(renderMarkup("\\table{*}\\matrix x|y")
                    .contains("</td></tr></table><table bgcolor=\"#f0f0f0\" width=\"100%\" "
                              "cellpadding=\"0\""));
    EXPECT_TRUE(renderMarkup("\\matrix x").contains("cols=\"1\"") &&
                renderMarkup("\\matrix x").contains("<col width=\"97%\"/>"));
}

TEST(Interpreter, CodeAndPreBlocks) {
    checkMarkup({
        {"\\code{plain}\n  a < b && c\n\n\\endcode after",
         "\n<pre class=\"qgn-code\">  a &lt; b &amp;&amp; c</pre><p>after</p>"},
        {"\\code{plain}\nno end \\b{x}", "\n<pre class=\"qgn-code\">no end \\b{x}</pre>"},
        {"\\code {c}\nx > y\n\\endcode", "\n<pre class=\"qgn-code\">{c}\nx &gt; y</pre>"},
        {"\\pre  \nx\u00a0<i>&\n\\endpre", "\n<pre class=\"qgn-code\">x <i&gt;&</pre>"},
        {"\\pre\nline<br/>&nbsp;\n\\endpre", "\n<pre class=\"qgn-code\">line<br/&gt;</pre>"},
        {"\\pre\na\n\nb", "\n<pre class=\"qgn-code\">a\n\nb</pre>"},
    });
}

TEST(Interpreter, ContentsCommands) {
    DocGen doc;
    OutputPageList pages;
    doc.pages = &pages;
    interpretMarkup(doc, "\\begin A & B\n\\rawcontent <raw/>\n\\contents <x/>\n\\contents junk\n"
                         "\\end\n\\include gnu_manual.xml\n\\include part.xml\n"
                         "\\include page.htm\n\\include notes.txt\n\\include P.XML");
    EXPECT_EQ(doc.contentsLines,
              (QStringList{"<content title=\"A &amp; B\">", "<raw/>", "<x/>", "</content>",
                           "<include filename=\"gnu_manual.xml\" />",
                           "<include filename=\"part.xml\" no_root=\"1\" />",
                           "<content url=\"page.htm\" />"}));
}

TEST(Interpreter, SplitTitleAndContentsLevels) {
    DocGen doc;
    OutputPageList pages;
    doc.pages = &pages;
    doc.formatName.clear();
    interpretMarkup(doc, "\\title Book\n\\split a\nA text\n\\contents down\n\\split b\nB text\n"
                         "\\contents up\n\\contents up\nloose\n\\split c\n\\split d\nD\n");
    doc.flushPage();
    EXPECT_EQ(fileNames(pages), (QStringList{"a.htm", "b.htm", "d.htm"}));
    EXPECT_EQ(doc.contentsLevel, 0);
    EXPECT_EQ(doc.contentsLines,
              (QStringList{"<content title=\"Book\">", "</content>", "<content url=\"a.htm\">",
                           "<content url=\"b.htm\">", "</content>", "</content>",
                           "<content url=\"c.htm\">", "</content>", "<content url=\"d.htm\">"}));
}

TEST(Interpreter, TitleWritesAHeadingForHtmlFormat) {
    DocGen doc;
    doc.mode = 1;
    doc.formatName = "html";
    interpretMarkup(doc, "Text \\title A<B\nmore");
    EXPECT_EQ(doc.pageTitle, "A<B");
    EXPECT_EQ(doc.pageBody, "<p>Text </p><h1>A&lt;B</h1><p>more</p>");
}

TEST(Interpreter, CopyinAndPresentReadFiles) {
    Workspace ws;
    ws.write("raw.html", QByteArray("<b>raw\xe9</b>\0ignored", 20));
    ws.write("sample.txt", QByteArray("x < y $(LICENSE)\n"));
    const QString raw = ws.path("raw.html");
    const QString sample = ws.path("sample.txt");
    const QString missing = ws.path("missing.c");
    EXPECT_EQ(renderMarkup("Text\\copyin " + raw + "\nafter"),
              "<p>Text</p><b>raw\u00e9</b><p>after</p>");
    EXPECT_EQ(renderMarkup("\\copyin " + missing), "");
    EXPECT_EQ(renderMarkup("\\present " + sample),
              "\n<pre class=\"qgn-code\">x &lt; y Copyright (C) 2026 the quillgen "
              "developers.</pre>");
    EXPECT_EQ(renderMarkup("\\present " + missing),
              "\n<pre class=\"qgn-code\">***" + missing + " not found ***</pre>");
    // Inside an open code block the file is escaped and the block stays open.
    EXPECT_EQ(renderMarkup("\\pre\nA\\present{c} " + sample + "\nB\\endpre"),
              "\n<pre class=\"qgn-code\">A" + QString("x &lt; y Copyright (C) 2026 the quillgen "
                                                      "developers.\nB</pre>"));
}

TEST(Interpreter, CommandNames) {
    DocGen doc;
    // A command name ends at the first character that is no ASCII letter or digit.
    interpretMarkup(doc, "\\item\u00e9x");
    EXPECT_EQ(doc.pageBody, "<ul><li>\u00e9x</li></ul>");
    // Reading never runs past the end of the text, whatever the last character is.
    for (const char *text : {"\\", "\\{", "\\table{", "\\code{", "\\item{", "|", "\\pre\\"})
        EXPECT_NO_FATAL_FAILURE(renderMarkup(QString::fromLatin1(text))) << text;
}

TEST(Interpreter, ReturnsTheWholeBody) {
    DocGen doc;
    EXPECT_EQ(interpretMarkup(doc, QString()), QString());
    EXPECT_EQ(interpretMarkup(doc, "plain"), "<p>plain</p>");
    // The whole body is returned, not only what this call added.
    EXPECT_EQ(interpretMarkup(doc, " more"), "<p>plain</p><p>more</p>");
}
