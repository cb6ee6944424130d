#include "colouring/colourcode.h"
#include "colouring/cparser.h"
#include "colouring/standardparser.h"
#include "colourtestutil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// One sample: its lines joined by "\n", and the readable form of each coloured line,
// joined the same way.
struct Case {
    const char *input;
    const char *expected;
};

template <size_t N>
void checkCases(const char *language, const Case (&cases)[N]) {
    for (const Case &c : cases) {
        // A fresh colourer per sample: state carries between its lines only.
        std::unique_ptr<ZodiDideParser> colourer(createColourer(QLatin1String(language)));
        ASSERT_TRUE(colourer);
        const QStringList lines = QString::fromUtf8(c.input).split(QLatin1Char('\n'));
        EXPECT_EQ(colourLines(*colourer, lines).toStdString(), std::string(c.expected))
            << language << ": " << c.input;
    }
}

TEST(CColourer, ColoursCodeConstructs) {
    const Case cases[] = {
        {"int main(void)", "[keyword]int[text] [function]main[operator]([keyword]void[operator])"},
        {"x = foo (1);",
         "[text]x [operator]=[text] [function]foo [operator]([literal]1[operator]);"},
        // The white-space run after a keyword is the last text run, so it takes the call.
        {"if (x)\nsizeof(y)",
         "[keyword]if[function] "
         "[operator]([text]x[operator])\n[keyword]sizeof[operator]([text]y[operator])"},
        {"  a", "  [text]a"},
        {"Size_t size_t __packed INT",
         "[text]Size_t [keyword]size_t[text] [keyword]__packed[text] [text]INT"},
        {"0x1p+3\n0x1e+3\n1.5e-3\n.5\n12UL\na.b",
         "[literal]0x1p+3\n[literal]0x1e[operator]+[literal]3\n[literal]1.5e-3\n[literal].5\n["
         "literal]12UL\n[text]a[operator].[text]b"},
        {"#include <stdio.h>\n#define F(x)",
         "[control]#include[text] "
         "[operator]<[text]stdio[operator].[text]h[operator]>\n[control]#define[text] "
         "[function]F[operator]([text]x[operator])"},
        {"x\\y1 z\na@b$c\n\xc3\xa9t\xc3\xa9",
         "[text]x\\y1 [text]z\n[text]a@[text]b$[text]c\n\xc3\xa9[text]t\xc3\xa9"},
        {"s = \"a\\\"b\" 'c'\n\"open",
         "[text]s [operator]=[text] [literal]\"a\\\"b\"[text] [literal]'c'\n[literal]\"open"},
        {"x // don't stop-now", "[text]x [comment]// [comment]don't [comment]stop-[comment]now"},
    };
    checkCases("c", cases);
}

TEST(CColourer, CarriesStateAcrossLines) {
    const Case cases[] = {
        {"a /* one\ntwo\nthree */ b\nc",
         "[text]a [comment]/* one\n[comment]two\n[comment]three */[text] [text]b\n[text]c"},
        {"/*\n\n*/", "[comment]/*\n\n[comment]*/"},
        {"s = \"ab\\\ncd\" x",
         "[text]s [operator]=[text] [literal]\"ab\\\n[literal]cd\"[text] [text]x"},
        // The first character can close a continued literal.
        {"'a\\\n' b", "[literal]'a\\\n[literal]'[text] [text]b"},
        {"\"\\\n\\\"x\" y", "[literal]\"\\\n[literal]\\\"x\"[text] [text]y"},
        {"\"ab\ncd", "[literal]\"ab\n[text]cd"},
        {"// a \\\nb", "[comment]// [comment]a \\\n[text]b"},
    };
    checkCases("c", cases);
}

TEST(CColourer, ColoursDocumentationComments) {
    const Case cases[] = {
        {"/*! Brief \\b{x} &amp; t */ int", "[comment]/*! Brief [doc-keyword]\\b[comment]{x} "
                                            "[markup]&amp;[comment] t */[text] [keyword]int"},
        // Each line of a code section starts with an empty doc-keyword run.
        {"/*! Use:\n * \\code{c}\n int y;\n \\endcode\n */ z",
         "[comment]/*! Use:\n[comment] * "
         "[doc-keyword]\\code{[doc-argument]c[doc-keyword]}[text][doc-keyword]\n[doc-keyword][doc-"
         "code] int y;[doc-keyword]\n[doc-keyword][doc-code] "
         "[doc-keyword]\\endcode[comment]\n[comment] */[text] [text]z"},
        {"/*! \\code\nx */ y",
         "[comment]/*! [doc-keyword]\\code\n[doc-keyword][doc-code]x */[text] [text]y"},
        {"/*!\n\n*/", "[comment]/*!\n\n[comment]*/"},
        // Page commands get an unnamed run first.
        {"/*! \\split p \\title T */", "[comment]/*! [s12][doc-keyword]\\split[comment] p "
                                       "[s12][doc-keyword]\\title[comment] T */"},
        {"/*! a | b \\{ ||- cell */x",
         "[comment]/*! a [doc-keyword]|[comment] b [doc-keyword]\\{[comment] "
         "[doc-keyword]||-[literal] cell */[text]x"},
        {"/*! a \\*/ b", "[comment]/*! a \\*/[text] [text]b"},
        {"/*! &amp\n\\", "[comment]/*! [markup]&amp[comment]\n[comment][doc-keyword]\\[comment]"},
    };
    checkCases("c", cases);
}

TEST(JavaScriptColourer, UsesItsOwnKeywords) {
    const Case cases[] = {
        {"function f(x) {",
         "[keyword]function[text] [function]f[operator]([text]x[operator])[text] [operator]{"},
        {"Function int typeof sizeof",
         "[text]Function [keyword]int[text] [keyword]typeof[text] [text]sizeof"},
    };
    checkCases("javascript", cases);
}

TEST(BasicColourer, ColoursEachLineOnItsOwn) {
    const Case cases[] = {
        {"print \"Hi\" ' greet", "[keyword]print [literal]\"Hi\" [comment]' greet"},
        {"rem note \"x\nx = 1 ReM y",
         "[comment]rem note \"x\n[text]x [operator]= [literal]1 [comment]ReM y"},
        {"A$ = LEFT$ + $CR + %pi + my_var",
         "[text]A$ [operator]= [text]LEFT$ [operator]+ [keyword]$CR [operator]+ [keyword]%pi "
         "[operator]+ [text]my_var"},
        {"  10 GOTO 20\n20", "  [disassembly]10 [keyword]GOTO [literal]20\n[disassembly]20"},
        {"x = 1.5E3 + a.b$", "[text]x [operator]= [literal]1.5E3 [operator]+ [text]a.b$"},
        {"\"abc\nEND", "[literal]\"abc\n[keyword]END"},
        {"\xc3\xa9 PI", "[text]\xc3\xa9 [keyword]PI"},
    };
    checkCases("classic-basic", cases);
}

TEST(AssemblyColourer, ColoursFieldsRegistersAndComments) {
    const Case cases[] = {
        {"loop: mov r1, R2 ; copy",
         "[text]loop[operator]: [keyword]mov [register]r1[operator], [register]R2 [comment]; copy"},
        // Instruction after leading white space; R0 is no register.
        {"  ld R0, $1F // x\n\tjmp sp, pc, SP, r15, R15, r16",
         "  [keyword]ld [text]R0[operator], [literal]$1F [comment]// x\n\t[keyword]jmp "
         "[register]sp[operator], [register]pc[operator], [register]SP[operator], "
         "[register]r15[operator], [register]R15[operator], [text]r16"},
        // A second word at the instruction position is a keyword too.
        {" r1", " [keyword]r1"},
        {"#define X 1 ; y\n #x", "[control]#define X 1 ; y\n [operator]#[keyword]x"},
        {".text .L1@x $g", "[text].text [keyword].L1@x [operator]$[text]g"},
        {"mov /* a\n#b */ r0\n/*\n*/",
         "[text]mov [comment]/* a\n[comment]#b */ [keyword]r0\n[comment]/*\n[comment]*/"},
        {"db \"a\\\"b\", 'c\\\n' , 1\ndb \"x",
         "[text]db [literal]\"a\\\"b\"[operator], [literal]'c\\\n[literal]' [operator], "
         "[literal]1\n[text]db [literal]\"x"},
    };
    checkCases("asm", cases);
}

TEST(XmlColourer, ColoursTagsAttributesAndComments) {
    const Case cases[] = {
        {"<a href=\"x\">t</a>",
         "[text][keyword]<[markup]a "
         "[attribute]href[disassembly]=[attribute][disassembly]\"[literal]x[disassembly]\"["
         "attribute][keyword]>[text]t[keyword]</[markup]a[keyword]>[text]"},
        {"a &amp; <br/> <x />&lt",
         "[text]a [markup]&amp;[text] [keyword]<[markup]br/[keyword]>[text] [keyword]<[markup]x "
         "[attribute][keyword]/>[text][markup]&lt"},
        {"x <!-- c\nd - -- e\nf --> y",
         "[text]x [keyword]<![comment]-- c\n[comment]d - -- e\n[comment]f --[keyword]>[text] y"},
        {"<a b=\"1\n2\" c>", "[text][keyword]<[markup]a "
                             "[attribute]b[disassembly]=[attribute][disassembly]\"[literal]1\n["
                             "literal]2[disassembly]\"[attribute] c[keyword]>[text]"},
        // A tag name cut by the line end does not carry over.
        {"<a\n  b=\"1\">\n</a",
         "[text][keyword]<[markup]a\n[text]  b=\"1\">\n[text][keyword]</[markup]a"},
        {"<a \nb=c/>", "[text][keyword]<[markup]a "
                       "[attribute]\n[attribute]b[disassembly]=[attribute]c[keyword]/>[text]"},
    };
    checkCases("xml", cases);
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
        {"// FIXME later", "[comment]// [fixme]FIXME[comment] [comment]later"},
        {"//NOTE", "[comment]//[attention]NOTE[comment]"},
        // Only the first word of a comment is a marker.
        {"// later FIXME", "[comment]// [comment]later [comment]FIXME"},
        {"/*XXX*/", "[comment]/*[s12]XXX[comment]*/"},
        {"/* FIXMEX */", "[comment]/* FIXMEX */"},
    };
    checkCases("c", cases);
    setCommentMarkerWords({}, {}, {});
}

TEST(Colourers, NullInputGivesAnEmptyBuffer) {
    for (const char *language : {"c", "basic", "asm", "xml"}) {
        std::unique_ptr<ZodiDideParser> colourer(createColourer(QLatin1String(language)));
        QChar buffer[4] = {QChar('x'), QChar('x'), QChar('x'), QChar('x')};
        EXPECT_EQ(colourer->colourLine(nullptr, buffer, nullptr), buffer + 1) << language;
        EXPECT_TRUE(buffer[0].isNull());
    }
}

} // namespace
