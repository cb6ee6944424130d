#include "colouring/cparser.h"
#include "colouring/javascriptparser.h"
#include "colourtestutil.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *name;
    QStringList lines;
    QStringList expected;
};

void runCases(const Case *begin, const Case *end, bool javascript) {
    for (const Case *c = begin; c != end; ++c) {
        ZodiDideCParser cColourer;
        ZodiDideJavaScriptParser jsColourer;
        ZodiDideParser &colourer =
            javascript ? static_cast<ZodiDideParser &>(jsColourer) : cColourer;
        EXPECT_EQ(colourLines(colourer, c->lines).toStdString(),
                  c->expected.join(QLatin1Char(0x0a)).toStdString())
            << c->name;
    }
}

TEST(CColourer, ColoursCodeConstructs) {
    const Case cases[] = {
        {"worked example",
         {"int x; // hi"},
         {"<keyword>int</keyword><text> </text><text>x</text><operator>;</operator><text> "
          "</text><comment>// </comment><comment>hi</comment>"}},
        {"call after a declaration",
         {"int main(void)"},
         {"<keyword>int</keyword><text> </text><function>main</function><operator>(</operator>"
          "<keyword>void</keyword><operator>)</operator>"}},
        {"call with white space before the parenthesis",
         {"x = foo (1);"},
         {"<text>x </text><operator>=</operator><text> </text><function>foo "
          "</function><operator>(</operator><literal>1</literal><operator>);</operator>"}},
        // The white-space run after a keyword is the last text run, so it takes the call.
        {"keyword before a parenthesis",
         {"if (x)", "sizeof(y)"},
         {"<keyword>if</keyword><function> "
          "</function><operator>(</operator><text>x</text><operator>)</operator>",
          "<keyword>sizeof</keyword><operator>(</operator><text>y</text><operator>)</operator>"}},
        {"leading white space has no span", {"  a"}, {"  <text>a</text>"}},
        {"exact-case keywords",
         {"Size_t size_t __packed INT"},
         {"<text>Size_t </text><keyword>size_t</keyword><text> "
          "</text><keyword>__packed</keyword><text> </text><text>INT</text>"}},
        {"numbers",
         {"0x1p+3", "0x1e+3", "1.5e-3", ".5", "12UL", "a.b"},
         {"<literal>0x1p+3</literal>",
          "<literal>0x1e</literal><operator>+</operator><literal>3</literal>",
          "<literal>1.5e-3</literal>", "<literal>.5</literal>", "<literal>12UL</literal>",
          "<text>a</text><operator>.</operator><text>b</text>"}},
        {"preprocessor line",
         {"#include <stdio.h>", "#define F(x)"},
         {"<control>#include</control><text> "
          "</text><operator><</operator><text>stdio</text><operator>.</operator><text>h</"
          "text><operator>></operator>",
          "<control>#define</control><text> "
          "</text><function>F</function><operator>(</operator><text>x</text><operator>)</"
          "operator>"}},
        {"escaped word and characters without a class",
         {"x\\y1 z", "a@b$c", "\xc3\xa9t\xc3\xa9"},
         {"<text>x\\y1 </text><text>z</text>", "<text>a@</text><text>b$</text><text>c</text>",
          QString::fromUtf8("\xc3\xa9<text>t\xc3\xa9</text>")}},
        {"strings and character literals",
         {"s = \"a\\\"b\" 'c'", "\"open"},
         {"<text>s </text><operator>=</operator><text> </text><literal>\"a\\\"b\"</literal><text> "
          "</text><literal>'c'</literal>",
          "<literal>\"open</literal>"}},
        {"line comment words",
         {"x // don't stop-now"},
         {"<text>x </text><comment>// </comment><comment>don't "
          "</comment><comment>stop-</comment><comment>now</comment>"}},
    };
    runCases(std::begin(cases), std::end(cases), false);
}

TEST(CColourer, CarriesStateAcrossLines) {
    const Case cases[] = {
        {"block comment over three lines",
         {"a /* one", "two", "three */ b", "c"},
         {"<text>a </text><comment>/* one</comment>", "<comment>two</comment>",
          "<comment>three */</comment><text> </text><text>b</text>", "<text>c</text>"}},
        {"empty line inside a block comment",
         {"/*", "", "*/"},
         {"<comment>/*</comment>", "", "<comment>*/</comment>"}},
        {"string continued with a backslash",
         {"s = \"ab\\", "cd\" x"},
         {"<text>s </text><operator>=</operator><text> </text><literal>\"ab\\</literal>",
          "<literal>cd\"</literal><text> </text><text>x</text>"}},
        {"the first character can close a continued literal",
         {"'a\\", "' b"},
         {"<literal>'a\\</literal>", "<literal>'</literal><text> </text><text>b</text>"}},
        {"escaped quote at the start of a continuation",
         {"\"\\", "\\\"x\" y"},
         {"<literal>\"\\</literal>", "<literal>\\\"x\"</literal><text> </text><text>y</text>"}},
        {"unterminated string ends with its line",
         {"\"ab", "cd"},
         {"<literal>\"ab</literal>", "<text>cd</text>"}},
        {"line comment does not continue",
         {"// a \\", "b"},
         {"<comment>// </comment><comment>a \\</comment>", "<text>b</text>"}},
    };
    runCases(std::begin(cases), std::end(cases), false);
}

TEST(CColourer, ColoursDocumentationComments) {
    const Case cases[] = {
        {"commands, entities and the comment end",
         {"/*! Brief \\b{x} &amp; t */ int"},
         {"<comment>/*! Brief </comment><doc-keyword>\\b</doc-keyword><comment>{x} "
          "</comment><markup>&amp;</markup><comment> t */</comment><text> "
          "</text><keyword>int</keyword>"}},
        {"code section over several lines",
         {"/*! Use:", " * \\code{c}", " int y;", " \\endcode", " */ z"},
         {"<comment>/*! Use:</comment>",
          "<comment> * </comment><doc-keyword>\\code{</doc-keyword><doc-argument>c</"
          "doc-argument><doc-keyword>}</doc-keyword><text></text><doc-keyword></doc-keyword>",
          "<doc-keyword></doc-keyword><doc-code> int y;</doc-code><doc-keyword></doc-keyword>",
          "<doc-keyword></doc-keyword><doc-code> "
          "</doc-code><doc-keyword>\\endcode</doc-keyword><comment></comment>",
          "<comment> */</comment><text> </text><text>z</text>"}},
        {"code section without a language",
         {"/*! \\code", "x */ y"},
         {"<comment>/*! </comment><doc-keyword>\\code</doc-keyword>",
          "<doc-keyword></doc-keyword><doc-code>x */</doc-code><text> </text><text>y</text>"}},
        {"empty line inside a documentation comment",
         {"/*!", "", "*/"},
         {"<comment>/*!</comment>", "", "<comment>*/</comment>"}},
        {"page commands get an unnamed run first",
         {"/*! \\split p \\title T */"},
         {"<comment>/*! </comment><s12></s12><doc-keyword>\\split</doc-keyword><comment> p "
          "</comment><s12></s12><doc-keyword>\\title</doc-keyword><comment> T */</comment>"}},
        {"table row, bars and escapes",
         {"/*! a | b \\{ ||- cell */x"},
         {"<comment>/*! a </comment><doc-keyword>|</doc-keyword><comment> b "
          "</comment><doc-keyword>\\{</doc-keyword><comment> "
          "</comment><doc-keyword>||-</doc-keyword><literal> cell */</literal><text>x</text>"}},
        {"backslash before the comment end",
         {"/*! a \\*/ b"},
         {"<comment>/*! a \\*/</comment><text> </text><text>b</text>"}},
        {"unterminated entity and trailing backslash",
         {"/*! &amp", "\\"},
         {"<comment>/*! </comment><markup>&amp</markup><comment></comment>",
          "<comment></comment><doc-keyword>\\</doc-keyword><comment></comment>"}},
    };
    runCases(std::begin(cases), std::end(cases), false);
}

TEST(CColourer, CountsBracesOutsideCommentsAndStrings) {
    const struct {
        const char *line;
        int depth;
    } cases[] = {
        {"{ { }", 1},
        {"\"{\" '{' /* { */ // {", 0},
        {"/*! { */ }", -1},
        {"#if {", 1},
    };
    for (const auto &c : cases) {
        ZodiDideCParser colourer;
        int depth = 0;
        colourLines(colourer, {QString::fromUtf8(c.line)}, &depth);
        EXPECT_EQ(depth, c.depth) << c.line;
    }
}

TEST(CColourer, HighlightsSuppliedCommentMarkerWords) {
    setCommentMarkerWords({QStringLiteral("FIXME")}, {QStringLiteral("NOTE")},
                          {QStringLiteral("XXX")});
    const Case cases[] = {
        {"line comment",
         {"// FIXME later", "//NOTE", "// later FIXME"},
         {"<comment>// </comment><fixme>FIXME</fixme><comment> </comment><comment>later</comment>",
          "<comment>//</comment><attention>NOTE</attention><comment></comment>",
          "<comment>// </comment><comment>later </comment><comment>FIXME</comment>"}},
        {"block comment",
         {"/*XXX*/", "/* FIXMEX */"},
         {"<comment>/*</comment><s12>XXX</s12><comment>*/</comment>",
          "<comment>/* FIXMEX */</comment>"}},
    };
    runCases(std::begin(cases), std::end(cases), false);
    setCommentMarkerWords({}, {}, {});
}

TEST(JavaScriptColourer, UsesItsOwnKeywords) {
    const Case cases[] = {
        {"function declaration",
         {"function f(x) {"},
         {"<keyword>function</keyword><text> </text><function>f</function><operator>(</"
          "operator><text>x</text><operator>)</operator><text> </text><operator>{</operator>"}},
        {"exact case and C-only words",
         {"Function int typeof sizeof"},
         {"<text>Function </text><keyword>int</keyword><text> "
          "</text><keyword>typeof</keyword><text> </text><text>sizeof</text>"}},
        {"documentation comment",
         {"/*! \\brief x */"},
         {"<comment>/*! </comment><doc-keyword>\\brief</doc-keyword><comment> x */</comment>"}},
    };
    runCases(std::begin(cases), std::end(cases), true);
}

TEST(StandardColourer, NullInputGivesAnEmptyBuffer) {
    ZodiDideCParser colourer;
    QChar buffer[4] = {QChar('x'), QChar('x'), QChar('x'), QChar('x')};
    EXPECT_EQ(colourer.colourLine(nullptr, buffer, nullptr), buffer + 1);
    EXPECT_TRUE(buffer[0].isNull());
}

} // namespace
