#include "colouring/htmlescape.h"

#include <gtest/gtest.h>

TEST(EscapeXml, ReplacesEachSpecialCharacterOnce) {
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a & b < c \"d\"", "a &amp; b &lt; c &quot;d&quot;"},
        {"&amp;", "&amp;amp;"},
        {"'>'", "&apos;&gt;&apos;"},
        {"x\xC2\xB7y", "x&middot;y"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(escapeXml(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
