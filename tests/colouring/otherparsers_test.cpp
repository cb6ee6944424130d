#include "colouring/assemblyparser.h"
#include "colouring/basicparser.h"
#include "colouring/xmlparser.h"
#include "colourtestutil.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Case {
    const char *name;
    QStringList lines;
    QStringList expected;
};

template <typename Colourer>
void runCases(const Case *begin, const Case *end) {
    for (const Case *c = begin; c != end; ++c) {
        Colourer colourer;
        EXPECT_EQ(colourLines(colourer, c->lines).toStdString(),
                  c->expected.join(QLatin1Char(0x0a)).toStdString())
            << c->name;
    }
}

TEST(BasicColourer, ColoursEachLineOnItsOwn) {
    const Case cases[] = {
        {"keyword, string and remark",
         {"print \"Hi\" ' greet"},
         {"<keyword>print </keyword><literal>\"Hi\" </literal><comment>' greet</comment>"}},
        {"REM in any case ends the line",
         {"rem note \"x", "x = 1 ReM y"},
         {"<comment>rem note \"x</comment>",
          "<text>x </text><operator>= </operator><literal>1 </literal><comment>ReM "
          "y</comment>"}},
        {"words with dollar, percent and underscore",
         {"A$ = LEFT$ + $CR + %pi + my_var"},
         {"<text>A$ </text><operator>= </operator><text>LEFT$ </text><operator>+ "
          "</operator><keyword>$CR </keyword><operator>+ </operator><keyword>%pi "
          "</keyword><operator>+ </operator><text>my_var</text>"}},
        {"line number",
         {"  10 GOTO 20", "20"},
         {"  <disassembly>10 </disassembly><keyword>GOTO </keyword><literal>20</literal>",
          "<disassembly>20</disassembly>"}},
        {"numbers and dotted names",
         {"x = 1.5E3 + a.b$"},
         {"<text>x </text><operator>= </operator><literal>1.5E3 </literal><operator>+ "
          "</operator><text>a.b$</text>"}},
        {"unterminated string and lines stand alone",
         {"\"abc", "END"},
         {"<literal>\"abc</literal>", "<keyword>END</keyword>"}},
        {"characters outside the classes",
         {"\xc3\xa9 PI"},
         {QString::fromUtf8("<text>\xc3\xa9 </text><keyword>PI</keyword>")}},
    };
    runCases<ZodiDideCoreBASICParser>(std::begin(cases), std::end(cases));
}

TEST(AssemblyColourer, ColoursFieldsRegistersAndComments) {
    const Case cases[] = {
        {"label, instruction, registers, comment",
         {"loop: mov r1, R2 ; copy"},
         {"<text>loop</text><operator>: </operator><keyword>mov "
          "</keyword><register>r1</register><operator>, </operator><register>R2 "
          "</register><comment>; copy</comment>"}},
        {"instruction after leading white space; R0 is no register",
         {"  ld R0, $1F // x", "\tjmp sp, pc, SP, r15, R15, r16"},
         {"  <keyword>ld </keyword><text>R0</text><operator>, </operator><literal>$1F "
          "</literal><comment>// x</comment>",
          "\t<keyword>jmp </keyword><register>sp</register><operator>, "
          "</operator><register>pc</register><operator>, "
          "</operator><register>SP</register><operator>, "
          "</operator><register>r15</register><operator>, "
          "</operator><register>R15</register><operator>, </operator><text>r16</text>"}},
        {"a second word at the instruction position is a keyword too",
         {" r1"},
         {" <keyword>r1</keyword>"}},
        {"preprocessor line",
         {"#define X 1 ; y", " #x"},
         {"<control>#define X 1 ; y</control>", " <operator>#</operator><keyword>x</keyword>"}},
        {"words with dots and at signs, dollar without hex digit",
         {".text .L1@x $g"},
         {"<text>.text </text><keyword>.L1@x </keyword><operator>$</operator><text>g</text>"}},
        {"block comment over lines",
         {"mov /* a", "#b */ r0", "/*", "*/"},
         {"<text>mov </text><comment>/* a</comment>",
          "<comment>#b */ </comment><keyword>r0</keyword>", "<comment>/*</comment>",
          "<comment>*/</comment>"}},
        {"strings with escapes and continuation",
         {"db \"a\\\"b\", 'c\\", "' , 1", "db \"x"},
         {"<text>db </text><literal>\"a\\\"b\"</literal><operator>, "
          "</operator><literal>'c\\</literal>",
          "<literal>' </literal><operator>, </operator><literal>1</literal>",
          "<text>db </text><literal>\"x</literal>"}},
    };
    runCases<ZodiDideAssemblyParser>(std::begin(cases), std::end(cases));
}

TEST(XmlColourer, ColoursTagsAttributesAndComments) {
    const Case cases[] = {
        {"element with an attribute",
         {"<a href=\"x\">t</a>"},
         {"<text></text><keyword><</keyword><markup>a "
          "</markup><attribute>href</attribute><disassembly>=</disassembly><attribute></"
          "attribute><disassembly>\"</disassembly><literal>x</literal><disassembly>\"</"
          "disassembly><attribute></attribute><keyword>></keyword><text>t</"
          "text><keyword></</keyword><markup>a</markup><keyword>></keyword><text></text>"}},
        {"entities and empty elements",
         {"a &amp; <br/> <x />&lt"},
         {"<text>a </text><markup>&amp;</markup><text> </text><keyword><</keyword><markup>br/</"
          "markup><keyword>></keyword><text> </text><keyword><</keyword><markup>x "
          "</markup><attribute></attribute><keyword>/></keyword><text></"
          "text><markup>&lt</markup>"}},
        {"comment over lines",
         {"x <!-- c", "d - -- e", "f --> y"},
         {"<text>x </text><keyword><!</keyword><comment>-- c</comment>",
          "<comment>d - -- e</comment>",
          "<comment>f --</comment><keyword>></keyword><text> y</text>"}},
        {"attribute value over lines",
         {"<a b=\"1", "2\" c>"},
         {"<text></text><keyword><</keyword><markup>a "
          "</markup><attribute>b</attribute><disassembly>=</disassembly><attribute></"
          "attribute><disassembly>\"</disassembly><literal>1</literal>",
          "<literal>2</literal><disassembly>\"</disassembly><attribute> "
          "c</attribute><keyword>></keyword><text></text>"}},
        {"tag over lines",
         {"<a", "  b=\"1\">", "</a"},
         {"<text></text><keyword><</keyword><markup>a</markup>", "<text>  b=\"1\"></text>",
          "<text></text><keyword></</keyword><markup>a</markup>"}},
        {"attributes after a line break inside a tag",
         {"<a ", "b=c/>"},
         {"<text></text><keyword><</keyword><markup>a </markup><attribute></attribute>",
          "<attribute>b</attribute><disassembly>=</disassembly><attribute>c</"
          "attribute><keyword>/></keyword><text></text>"}},
    };
    runCases<ZodiDideXMLParser>(std::begin(cases), std::end(cases));
}

TEST(XmlColourer, UnknownLineStateStartsAsText) {
    ZodiDideXMLParser colourer;
    colourer.setLineState(3);
    EXPECT_EQ(colourLines(colourer, {QStringLiteral("a")}), QStringLiteral("<text>a</text>"));
    EXPECT_EQ(colourer.lineState(), 0);
}

TEST(Colourers, BracketCharacters) {
    EXPECT_EQ(ZodiDideXMLParser().bracketCharacters(), QStringLiteral("\\<\\>"));
    EXPECT_EQ(ZodiDideAssemblyParser().bracketCharacters(), QStringLiteral("\\{\\}\\[\\]\\(\\)"));
}

} // namespace
