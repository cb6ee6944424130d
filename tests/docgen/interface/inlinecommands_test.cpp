#include "tests/docgen/markuptest.h"

#include "docgen/docgen.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(InlineCommands, StyledWordsEscapeTheirArgumentOnly) {
    checkMarkup({
        {"\\b{a<b}", "<p><b>a&lt;b</b></p>"},
        {"\\b word.\\b .x", "<p><b>word</b>.<b>.x</b></p>"},
        {"a<i>\\u{x & y}\\b{}", "<p>a<i><u>x &amp; y</u><b></b></p>"},
        {"\\bi{two words}\\a x\\f y\\m z",
         "<p><b><i>two words</i></b><b>x</b><b>y</b><b>z</b></p>"},
        {"\\i x\\em y\\e z\\big w", "<p><i>x</i><i>y</i><i>z</i><big>w</big></p>"},
        {"\\tt x\\c y\\file{a.c}\\p z", "<p><tt>x</tt><tt>y</tt><tt>a.c</tt><tt>z</tt></p>"},
        {"H\\sub{2}O\\sup n", "<p>H<sub>2</sub>O<sup>n</sup></p>"},
        {"\\dq{q}\\q x\\sq y", "<p>&ldquo;q&rdquo;&lsquo;x&rsquo;&lsquo;y&rsquo;</p>"},
        {"one\\n two\\br three", "<p>one<br/> two<br/> three</p>"},
        {"\\input{Enter}", "<p><b>Enter</b></p>"},
    });
    DocGen html; // the format defaults to "html"
    checkMarkup(html, {{"\\input{run}", "<p><b>run</b> &#8629;</p>"}});
}

TEST(InlineCommands, CharacterNamesAndTheTildeAfterThem) {
    checkMarkup({
        {"\\@\\$\\&\\|\\<\\lt\\>\\gt", "<p>@$&amp;|&lt;&lt;&gt;&gt;</p>"},
        {"a\\\\b 1\\,000 1\\-2\\--3", "<p>a&#x5c;b 1&#x202f;000 1&ndash;2&mdash;3</p>"},
        {"\\pi~r \\lt~ \\&~ \\inf~~", "<p>&#x3c0;r &lt;~ &amp;~ &#x221e;~</p>"},
        {"this\\or that", "<p>this&mdash;or&mdash; that</p>"},
        {"\\plusminus\\theta\\psi\\phi\\half\\quarter\\threequarter",
         "<p>&plusmn;&#x3B8;&#x3C8;&#x3C6;&#xbd;&#xbc;&#xbe;</p>"},
        {"\\divslash\\bullet\\minus\\times\\divide\\ge\\le\\ne",
         "<p>&#x2215;&#x2219;&#x2212;&#xd7;&#xf7;&#x2265;&#x2264;&#x2260;</p>"},
        {"\\up\\down\\updown", "<p>&#x2191;&#x2193;&#x2195;</p>"},
        {"so on\\...~x \\hdots \\vdots~a\\:~b",
         "<p>so on&hellip;x &hellip; &#x205e;a&#x205e;b</p>"},
    });
}

TEST(InlineCommands, WriteInsideOpenBlocks) {
    checkMarkup({
        {"\\table{1in,*}||A\\|B|C\\endtable",
         "<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" cellspacing=\"2\" "
         "border=\"0\" cols=\"2\" fm_widths=\"1in,4in\">\n<tr bgcolor=\"#cccccc\"><td>\nA|B"
         "</td><td>C</td></tr></table>"},
        {"\\item \\b{x}", "<ul><li><b>x</b></li></ul>"},
        {"\\pre\nx \\lt y\\endpre", "\n<pre class=\"qgn-code\">x &lt; y</pre>"},
    });
}

TEST(InlineCommands, Images) {
    checkMarkup({
        {"\\img{diagram}\\img{photo.jpg}",
         "<p><img src=\"diagram.png\" /><img src=\"photo.jpg\" /></p>"},
        {"\\img{v1.2/plan}", "<p><img src=\"v1.2/plan.png\" /></p>"},
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
    doc.splitTitles.insert(QStringLiteral("faq.htm"), QStringLiteral("Q & A"));
    checkMarkup(
        doc,
        {
            {"\\ref{intro}", "<p><a href=\"intro.htm\">Introduction</a></p>"},
            {"\\ref{faq.htm}", "<p><a href=\"faq.htm\">Q &amp; A</a></p>"},
            {"\\ref{intro Start here}", "<p><a href=\"intro.htm\">Start here</a></p>"},
            {"\\ref{setup}\\ref{Intro}",
             "<p><a href=\"setup.htm\">setup</a><a href=\"Intro.htm\">Intro</a></p>"},
            {"\\xref{page.htm See it}\\xref{page.htm}",
             "<p><a href=\"page.htm\">See it</a><a href=\"page.htm\">page.htm</a></p>"},
            {"\\xref{a<b x}", "<p><a href=\"a&lt;b.htm\">x</a></p>"},
            {"\\xref{http://x.org/a Site}",
             "<p><a href=\"http://x.org/a\" target=\"_blank\">Site</a></p>"},
            {"\\xref{https://x.org}\\xref{mailto:a@b}",
             "<p><a href=\"https://x.org\">https://x.org</a><a "
             "href=\"mailto:a@b\">mailto:a@b</a></p>"},
            {"\\titleref{intro}", "<p><big><a href=\"intro.htm\">Introduction</a></big><br/></p>"},
        });
}

TEST(InlineCommands, IconWritesItsImageUnderTheOutputDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DocGen doc;
    doc.outputDirectory = dir.filePath(QStringLiteral("deep/out"));
    EXPECT_EQ(renderMarkup(doc, "a \\icon{NoSuchIcon} \\icon{filesave} b"), "<p>a   b</p>");
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("deep"))).exists());
    doc.pageBody.clear();
    EXPECT_EQ(renderMarkup(doc, "Save \\icon{FileSave} now"),
              "<p>Save <img src=\"images/FileSave.png\" /> now</p>");
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("deep/out/images/FileSave.png"))).size(),
              QSize(16, 16));
}
