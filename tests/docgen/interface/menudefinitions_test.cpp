#include "tests/support/workspace.h"

#include "docgen/menudefinitions.h"

#include <gtest/gtest.h>

TEST(MenuDefinitions, UnreadableFilesGiveAReason) {
    Workspace w;
    w.write(QStringLiteral("broken.xml"), QByteArray("<definitions><menu></definitions>"));
    // Nesting is bounded: the parser's cost grows with the square of the depth.
    w.write(QStringLiteral("deep.xml"), QByteArray("<menu>").repeated(2000));
    EXPECT_NE(loadMenuDefinitions(w.path(QStringLiteral("missing.xml"))), QString());
    EXPECT_TRUE(loadMenuDefinitions(w.path(QStringLiteral("broken.xml"))).contains("line 1"));
    EXPECT_TRUE(loadMenuDefinitions(w.path(QStringLiteral("deep.xml"))).contains("nested"));
}
