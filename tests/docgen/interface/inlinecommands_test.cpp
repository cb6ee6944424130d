#include "tests/docgen/interface/interfacetest.h"

#include "docgen/docgen.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void checkCases(std::initializer_list<MarkupCase> cases) {
    for (const MarkupCase &c : cases)
        EXPECT_EQ(render(QString::fromUtf8(c.markup)), QString::fromUtf8(c.body))
            << "markup: " << c.markup;
}

} // namespace

TEST(InlineCommands, StyledWordsEscapeTheirArgumentOnly) {
    checkCases({
        {"\\b{a<b}", "<p><b>a&lt;b</b></p>"},
        {"\\b word.", "<p><b>word</b>.</p>"},
        {"\\b .x", "<p><b>.x</b></p>"},
        {"\\b{}x", "<p><b></b>x</p>"},
        {"a<i>\\u{x & y}", "<p>a<i><u>x &amp; y</u></p>"},
        {"\\bi{two words}", "<p><b><i>two words</i></b></p>"},
        {"\\a x\\f y\\m z", "<p><b>x</b><b>y</b><b>z</b></p>"},
        {"\\i x\\em y\\e z\\big w", "<p><i>x</i><i>y</i><i>z</i><big>w</big></p>"},
        {"\\tt x\\c y\\file{a.c}\\p z", "<p><tt>x</tt><tt>y</tt><tt>a.c</tt><tt>z</tt></p>"},
        {"H\\sub{2}O\\sup n", "<p>H<sub>2</sub>O<sup>n</sup></p>"},
        {"\\dq{quoted}\\q x\\sq y", "<p>&ldquo;quoted&rdquo;&lsquo;x&rsquo;&lsquo;y&rsquo;</p>"},
        {"one\\n two\\br three", "<p>one<br/> two<br/> three</p>"},
        {"\\B{x}", "<p>{x}</p>"},
    });
}

TEST(InlineCommands, InputMarksTheReturnKeyOnlyInHtml) {
    EXPECT_EQ(render("\\input{Enter}"), "<p><b>Enter</b></p>");
    DocGen html; // the format defaults to "html"
    EXPECT_EQ(render(html, "\\input{run}"), "<p><b>run</b> &#8629;</p>");
}

TEST(InlineCommands, CharacterNames) {
    checkCases({
        {"\\@\\$\\&\\|", "<p>@$&amp;|</p>"},
        {"\\<\\lt\\>\\gt", "<p>&lt;&lt;&gt;&gt;</p>"},
        {"a\\\\b", "<p>a&#x5c;b</p>"},
        {"1\\,000", "<p>1&#x202f;000</p>"},
        {"1\\-2\\--3", "<p>1&ndash;2&mdash;3</p>"},
        {"this\\or that", "<p>this&mdash;or&mdash; that</p>"},
        {"\\pi~r", "<p>&#x3c0;r</p>"},
        {"\\lt~", "<p>&lt;~</p>"},
        {"\\&~", "<p>&amp;~</p>"},
        {"\\inf~~", "<p>&#x221e;~</p>"},
        {"\\plusminus\\theta\\psi\\phi", "<p>&plusmn;&#x3B8;&#x3C8;&#x3C6;</p>"},
        {"\\half\\quarter\\threequarter", "<p>&#xbd;&#xbc;&#xbe;</p>"},
        {"\\divslash\\bullet\\minus\\times\\divide", "<p>&#x2215;&#x2219;&#x2212;&#xd7;&#xf7;</p>"},
        {"\\ge\\le\\ne", "<p>&#x2265;&#x2264;&#x2260;</p>"},
        {"\\up\\down\\updown", "<p>&#x2191;&#x2193;&#x2195;</p>"},
        {"and so on\\...~x \\hdots", "<p>and so on&hellip;x &hellip;</p>"},
        {"\\vdots~a\\:~b", "<p>&#x205e;a&#x205e;b</p>"},
    });
}

TEST(InlineCommands, InlineCommandsWriteInsideOpenBlocks) {
    checkCases({
        {"\\table{1in,*}||A\\|B|C\\endtable",
         "<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" cellspacing=\"2\" "
         "border=\"0\" cols=\"2\" fm_widths=\"1in,4in\">\n<tr bgcolor=\"#cccccc\"><td>\nA|B"
         "</td><td>C</td></tr></table>"},
        {"\\item \\b{x}", "<ul><li><b>x</b></li></ul>"},
        {"\\pre\nx \\lt y\\endpre", "\n<pre class=\"qgn-code\">x &lt; y</pre>"},
    });
}

TEST(InlineCommands, Images) {
    checkCases({
        {"\\img{diagram}", "<p><img src=\"diagram.png\" /></p>"},
        {"\\img{photo.jpg}", "<p><img src=\"photo.jpg\" /></p>"},
        {"\\img{v1.2/plan}", "<p><img src=\"v1.2/plan.png\" /></p>"},
        {"\\img{a&b}", "<p><img src=\"a&b.png\" /></p>"},
        {"\\screen{main Main window}",
         "<p><img class=\"screen\" src=\"main.png\" alt=\"Main window\"/></p>"},
        {"\\screen{  shot.gif   Two   spaces }",
         "<p><img class=\"screen\" src=\"shot.gif\" alt=\"Two spaces\"/></p>"},
        {"\\screen{main}", "<p><img class=\"screen\" src=\"main.png\" /></p>"},
    });
}

TEST(InlineCommands, LinkTargetsAndTexts) {
    DocGen doc;
    doc.splitTitles.insert(QStringLiteral("intro"), QStringLiteral("Introduction"));
    doc.splitTitles.insert(QStringLiteral("faq.htm"), QStringLiteral("Questions & answers"));
    const MarkupCase cases[] = {
        {"\\ref{intro}", "<p><a href=\"intro.htm\">Introduction</a></p>"},
        {"\\ref{faq.htm}", "<p><a href=\"faq.htm\">Questions &amp; answers</a></p>"},
        {"\\ref{intro Start here}", "<p><a href=\"intro.htm\">Start here</a></p>"},
        {"\\ref{setup}", "<p><a href=\"setup.htm\">setup</a></p>"},
        {"\\xref{page.htm See the page}", "<p><a href=\"page.htm\">See the page</a></p>"},
        {"\\xref{page.htm}", "<p><a href=\"page.htm\">page.htm</a></p>"},
        {"\\xref{a<b x}", "<p><a href=\"a&lt;b.htm\">x</a></p>"},
        {"\\xref{http://example.org/x Site}",
         "<p><a href=\"http://example.org/x\" target=\"_blank\">Site</a></p>"},
        {"\\xref{https://example.org}",
         "<p><a href=\"https://example.org\">https://example.org</a></p>"},
        {"\\xref{mailto:a@b}", "<p><a href=\"mailto:a@b\">mailto:a@b</a></p>"},
        {"\\titleref{intro}", "<p><big><a href=\"intro.htm\">Introduction</a></big><br/></p>"},
        {"\\ref{Intro}", "<p><a href=\"Intro.htm\">Intro</a></p>"},
    };
    for (const MarkupCase &c : cases) {
        doc.pageBody.clear();
        EXPECT_EQ(render(doc, QString::fromUtf8(c.markup)), QString::fromUtf8(c.body))
            << "markup: " << c.markup;
    }
}

TEST(InlineCommands, IconWritesItsImageUnderTheOutputDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DocGen doc;
    doc.outputDirectory = dir.filePath(QStringLiteral("deep/out"));
    EXPECT_EQ(render(doc, "Save \\icon{FileSave} now"),
              "<p>Save <img src=\"images/FileSave.png\" /> now</p>");
    const QImage written(dir.filePath(QStringLiteral("deep/out/images/FileSave.png")));
    EXPECT_EQ(written.size(), QSize(16, 16));
}

TEST(InlineCommands, UnknownIconWritesNoImageAndNoFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DocGen doc;
    doc.outputDirectory = dir.path();
    EXPECT_EQ(render(doc, "a \\icon{NoSuchIcon} \\icon{filesave} b"), "<p>a   b</p>");
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("images"))).exists());
}
