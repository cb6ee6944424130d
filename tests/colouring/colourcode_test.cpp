// What the colouring cases in tests/cases/colouring cannot show: the suffix table, the
// names that pick no colourer, and characters that a case file cannot hold.

#include "colouring/colourcode.h"
#include "colouring/styles.h"
#include "colouring/zodidideparser.h"

#include <gtest/gtest.h>

namespace {

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

TEST(ColourCode, LanguageNamesMatchWithExactCase) {
    for (const char *name : {"C", "Basic", "JS", "cpp", "plain", "", "markup"})
        EXPECT_EQ(cachedColourer(QLatin1String(name)), nullptr) << name;
}

TEST(ColourCode, StrayMarkerCharactersInTheSampleAreNoStyleChanges) {
    cachedColourer(QStringLiteral("c"))->setLineState(0);
    const QString html = colourCode(QStringLiteral("-") + QChar(StyleMarker) + QChar(StyleKeyword) +
                                        QStringLiteral("-"),
                                    QStringLiteral("c"));
    EXPECT_FALSE(html.contains(QChar(StyleMarker)));
    EXPECT_TRUE(html.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_FALSE(html.contains(QLatin1String("keyword")));
}

} // namespace
