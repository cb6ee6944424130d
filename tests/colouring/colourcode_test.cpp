#include "colouring/colourcode.h"
#include "colouring/markedlinewriter.h"
#include "colouring/styles.h"
#include "colouring/zodidideparser.h"
#include "colourtestutil.h"

#include <gtest/gtest.h>

namespace {

// Copies the line; a run of letters becomes a keyword, a digit starts style 12, anything
// else keeps the current style. Lets the writer be tested apart from any real language.
class ScriptedColourer : public ZodiDideParser {
public:
    QChar *colourLine(const QChar *input, QChar *output, int *) override {
        MarkedLineWriter out(output);
        for (const QChar *p = input; p && !p->isNull(); ++p) {
            if (p->isLetter())
                out.emit(StyleKeyword);
            else if (p->isDigit())
                out.marker(StyleUnnamed);
            else if (*p == QLatin1Char('~'))
                out.marker(StyleText);
            out.put(*p);
        }
        lines << QString(input);
        return out.finish();
    }
    QStringList lines;
};

// The names themselves show in every expected colouring of colourers_test.cpp.
TEST(StyleName, UnnamedStyleIsEmptyAndUnknownOnesNull) {
    EXPECT_TRUE(styleName(StyleUnnamed).isEmpty() && !styleName(StyleUnnamed).isNull());
    for (int id : {17, -1, 0xFFFF})
        EXPECT_TRUE(styleName(id).isNull()) << id;
}

TEST(LanguageForSuffix, MapsKnownSuffixes) {
    const struct {
        const char *suffix;
        const char *language;
    } cases[] = {// Case matters except for the project suffixes.
                 {"bas", "basic"},     {"BAS", "plain"},     {"xml", "xml"}, {"XML", "plain"},
                 {"qvProject", "xml"}, {"QVPROJECT", "xml"}, {"Rud", "xml"}, {"c", "c"},
                 {"C", "plain"},       {"hh", "c"},          {"cxx", "c"},   {"js", "javascript"},
                 {"JS", "plain"},      {"txt", "plain"},     {"", "plain"}};
    for (const auto &c : cases)
        EXPECT_EQ(languageForSuffix(QLatin1String(c.suffix)), QLatin1String(c.language))
            << c.suffix;
}

TEST(WriteCodeHtml, WritesSpansPerLine) {
    const struct {
        const char *code;
        const char *html;
    } cases[] = {
        {"", ""},
        {"a\n", "<span class=\"qgn-code-keyword\">a</span>\n\n"},
        // Text before the first marker has no span.
        {"  ab ", "  <span class=\"qgn-code-keyword\">ab </span>\n"},
        // A style without a name is a bare span; two markers in a row give two spans.
        {"1 2", "<span>1 </span><span>2</span>\n"},
        {"x\n\ny", "<span class=\"qgn-code-keyword\">x</span>\n\n"
                   "<span class=\"qgn-code-keyword\">y</span>\n"},
        // Style 0 is written as the 0 character after the marker; it must not end the line.
        {"~x~", "<span class=\"qgn-code-text\">~</span><span "
                "class=\"qgn-code-keyword\">x</span><span class=\"qgn-code-text\">~</span>\n"},
        {"<'&\">", "&lt;&apos;&amp;&quot;&gt;\n"},
        {"\\vdots \\hdots \\... \\VDOTS",
         "\\<span class=\"qgn-code-keyword\">vdots &hellip; &hellip; \\VDOTS</span>\n"},
    };
    for (const auto &c : cases) {
        ScriptedColourer colourer;
        EXPECT_EQ(writeCodeHtml(QString::fromUtf8(c.code), &colourer, false),
                  QString::fromUtf8(c.html))
            << c.code;
    }
}

TEST(WriteCodeHtml, StripsLineNumbersOnlyWhenAsked) {
    const struct {
        const char *line;
        const char *stripped;
    } cases[] = {{"10 PRINT X", "PRINT X"},
                 {"  20\tGOTO 10", "GOTO 10"},
                 {"30  REM", " REM"},
                 {"40", ""},
                 {"50 '", ""},
                 {"60 ' ", ""},
                 {" 70'", ""},
                 {"80 ' note", "' note"},
                 {"PRINT 1", "PRINT 1"},
                 {"''", "''"}};
    for (const auto &c : cases) {
        ScriptedColourer colourer;
        writeCodeHtml(QLatin1String(c.line), &colourer, true);
        ASSERT_EQ(colourer.lines.size(), 1);
        EXPECT_EQ(colourer.lines[0], QLatin1String(c.stripped)) << c.line;

        ScriptedColourer keeping;
        writeCodeHtml(QLatin1String(c.line), &keeping, false);
        EXPECT_EQ(keeping.lines.value(0), QLatin1String(c.line));
    }
}

TEST(WriteCodeHtml, StrayMarkerCharactersInInputAreNotStyleChanges) {
    ScriptedColourer colourer;
    const QString code = QStringLiteral("-") + QChar(StyleMarker) + QChar(0x0003) +
                         QStringLiteral("-") + QChar(StyleMarker);
    const QString html = writeCodeHtml(code, &colourer, false);
    EXPECT_FALSE(html.contains(QLatin1String("<span")));
    EXPECT_FALSE(html.contains(QChar(StyleMarker)));
}

TEST(ColourCode, LanguageWithoutColourerOnlyEscapes) {
    EXPECT_EQ(colourCode(QStringLiteral("a<b>\n\\vdots\n"), QStringLiteral("plain")),
              QStringLiteral("a&lt;b&gt;\n\\vdots\n"));
    EXPECT_EQ(colourCode(QString(), QStringLiteral("plain")), QString());
    EXPECT_EQ(cachedColourer(QStringLiteral("plain")), nullptr);
}

} // namespace
