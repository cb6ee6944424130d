#include "colouring/basicparser.h"
#include "colouring/colourcode.h"
#include "colouring/javascriptparser.h"
#include "colourtestutil.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

namespace {

// Compares as std::string so that a failure prints the HTML as text.
#define EXPECT_HTML(actual, expected) EXPECT_EQ((actual).toStdString(), (expected).toStdString())

QString span(const char *style, const char *text) {
    return QStringLiteral("<span class=\"qgn-code-%1\">%2</span>")
        .arg(QLatin1String(style), QString::fromUtf8(text));
}

// The cached colourers keep their line state between samples; each test starts clean.
class ColourCodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char *language :
             {"c", "javascript", "js", "basic", "classic-basic", "asm", "xml"})
            cachedColourer(QLatin1String(language))->setLineState(0);
    }
};

TEST(CreateColourer, ChoosesTheColourerByExactName) {
    const struct {
        const char *name;
        const std::type_info *type;
    } cases[] = {
        // The other names are exercised by colourers_test.cpp.
        {"basic", &typeid(ZodiDideCoreBASICParser)},
        {"js", &typeid(ZodiDideJavaScriptParser)},
    };
    for (const auto &c : cases) {
        std::unique_ptr<ZodiDideParser> colourer(createColourer(QLatin1String(c.name)));
        ASSERT_TRUE(colourer) << c.name;
        EXPECT_TRUE(typeid(*colourer) == *c.type) << c.name;
    }
    for (const char *none : {"C", "Basic", "JS", "cpp", "plain", "", "markup"})
        EXPECT_EQ(std::unique_ptr<ZodiDideParser>(createColourer(QLatin1String(none))), nullptr)
            << none;
}

TEST_F(ColourCodeTest, EscapesAndReplacesDotCommandsAfterColouring) {
    EXPECT_HTML(colourCode(QStringLiteral("s = \"\\vdots\" '<'"), QStringLiteral("c")),
                QStringLiteral("<span class=\"qgn-code-text\">s </span>") + span("operator", "=") +
                    span("text", " ") + span("literal", "&quot;&#x205e;&quot;") +
                    span("text", " ") + span("literal", "&apos;&lt;&apos;") + QLatin1Char('\n'));
}

TEST_F(ColourCodeTest, BasicDropsLineNumbersAndClassicBasicKeepsThem) {
    const QString code = QStringLiteral("10 PRINT X\n20 '");
    EXPECT_HTML(colourCode(code, QStringLiteral("basic")),
                span("keyword", "PRINT ") + span("text", "X") + QStringLiteral("\n\n"));
    EXPECT_HTML(colourCode(code, QStringLiteral("classic-basic")),
                span("disassembly", "10 ") + span("keyword", "PRINT ") + span("text", "X") +
                    QLatin1Char('\n') + span("disassembly", "20 ") + span("comment", "&apos;") +
                    QLatin1Char('\n'));
}

TEST_F(ColourCodeTest, CachedColourerCarriesStateFromOneSampleToTheNext) {
    ZodiDideParser *c = cachedColourer(QStringLiteral("c"));
    EXPECT_EQ(cachedColourer(QStringLiteral("c")), c);
    EXPECT_NE(cachedColourer(QStringLiteral("js")), cachedColourer(QStringLiteral("javascript")));

    colourCode(QStringLiteral("/* open"), QStringLiteral("c"));
    EXPECT_EQ(c->lineState(), 1);
    EXPECT_HTML(colourCode(QStringLiteral("x"), QStringLiteral("c")),
                span("comment", "x") + QLatin1Char('\n'));
    // Other languages keep their own state.
    EXPECT_HTML(colourCode(QStringLiteral("x"), QStringLiteral("javascript")),
                span("text", "x") + QLatin1Char('\n'));

    colourCode(QStringLiteral("<!--"), QStringLiteral("xml"));
    EXPECT_HTML(colourCode(QStringLiteral("-->"), QStringLiteral("xml")),
                span("comment", "--") + span("keyword", "&gt;") + span("text", "") +
                    QLatin1Char('\n'));
}

} // namespace
