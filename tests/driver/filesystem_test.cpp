#include "driver/filesystem.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

TEST(CleanPath, DropsDotsAndEmptySegments) {
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"a.dg", "a.dg"},
        {"./x/../a.dg", "a.dg"},
        {"x//y/./z.h", "x/y/z.h"},
        {"/abs//dir/", "/abs/dir"},
        {"../a.dg", "../a.dg"},
        {"../../a/b/../c.dg", "../../a/c.dg"},
        {"a/b/../../../c.dg", "../c.dg"},
        {"/", "/"},
        {"/..", "/.."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cleanPath(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}
