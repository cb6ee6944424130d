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
        // Longer than a run searched at once, with stops on and across its edges.
        {"0123456&89abcdef<hijklmnopqrstuv'", "0123456&amp;89abcdef&lt;hijklmnopqrstuv&apos;"},
    };
    for (const auto &c : cases) {
        const QString in = QString::fromUtf8(c.in), out = QString::fromUtf8(c.out);
        EXPECT_EQ(escapeXml(in), out) << c.in;
        // The form written through a pointer into room sized beforehand.
        QString sized(escapedXmlSize(in), QChar(u'#'));
        EXPECT_EQ(copyEscapedXml(sized.data(), in), sized.data() + sized.size()) << c.in;
        EXPECT_EQ(sized, out) << c.in;
    }
}
