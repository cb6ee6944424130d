#include "tests/support/workspace.h"

#include "docgen/docgen.h"
#include "docgen/preprocessor.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The text that reaches the interpreter for a source with the given text.
QString textOf(const QString &source, const QString &format = QString()) {
    Workspace ws;
    ws.write("in.dg", source);
    DocGen doc;
    doc.formatName = format;
    return readManualSource(doc, ws.path("in.dg"));
}

struct LinesCase {
    const char *source;
    QStringList lines;
};

void checkCases(std::initializer_list<LinesCase> cases) {
    for (const LinesCase &c : cases)
        EXPECT_EQ(textOf(QString::fromUtf8(c.source)), c.lines.join(u'\n')) << c.source;
}

} // namespace

TEST(Preprocessor, CommentsAndDefinitions) {
    checkCases({
        {"a\n  % note\n50% done\n", {"a", "50% done"}},
        {"  keep  spacing  \r\nnext", {"  keep  spacing  ", "next"}},
        {"@def NAME value \\\n  % not a comment\nafter", {"after"}},
        {"@def NAME cut \\", {}},
        {"@(Date) stays\n@unknown word\n@ (x)", {"@(Date) stays"}},
    });
}

TEST(Preprocessor, VariantSectionsForThisBuild) {
    checkCases({
        {"@riscv\nR\n@else\nX\n@end\nall", {"R", "all"}},
        {"@avr\nA\n@else\nX\n@end", {"X"}},
        {"@arm % note\nkept", {"kept"}},
        {"@arm_riscv\nAR\n@end\n@codespace\nCS\n@end", {"AR"}},
        {"@arm\n@maxq\n@msp430\n@maxq30\n@elide\nnone\n@end\nafter", {"after"}},
        {"@html\nH\n@print\nP\n@end", {}},
        {"@vantor\nV\n@riscv\nR\n@end\nV2\n@end\nafter", {"R", "V2", "after"}},
        {"@vantor\nV\n@else\nnot vantor\n@end", {"not vantor"}},
        {"@riscv\n@vantor\nV\n@else\nW\n@end\nR\n@end", {"W", "R"}},
        {"@avr\n@vantor\nV\n@else\nW\n@end\nX\n@end\nY", {"Y"}},
        {"@end\n@else\nafter else", {}},
    });
    EXPECT_EQ(textOf("@html\nH\n@else\nnot\n@end", "html"), "H");
}

TEST(Preprocessor, IncludesSpliceSourcesWithOneEmptyLine) {
    Workspace ws;
    ws.write("chapter.dg", QStringLiteral("c1\n@avr\n"));
    ws.write("self.dg", QStringLiteral("s\n\\include self.dg\n"));
    ws.write("in.dg", QStringLiteral("@avr\n\\include chapter.dg\n@end\n"
                                     "a\n  \\include   chapter.dg \nafter\n"
                                     "\\include figures.xml\n\\include missing.dg\nz\n"
                                     "\\include self.dg\nend"));
    const QString old = QDir::currentPath();
    QDir::setCurrent(ws.path());
    DocGen doc;
    const QStringList lines = readManualSource(doc, "in.dg").split(u'\n');
    QDir::setCurrent(old);
    // The included file's dropped section ends with it: "after" is kept.
    EXPECT_EQ(lines, (QStringList{"a", "c1", "", "after", "\\include figures.xml", "", "z", "s", "",
                                  "", "end"}));
}

TEST(Preprocessor, TitlesAreRecordedUnderTheirPage) {
    Workspace ws;
    ws.write("in.dg", QStringLiteral("\\title Cover  page\n\\split start\n"
                                     "\\title{  Getting   started }\n\\split  odd\n"
                                     "\\title{Odd}}\n"));
    DocGen doc;
    OutputPageList pages;
    doc.processFile(0, ws.path("in.dg"), "out", pages, QString(), {});
    EXPECT_EQ(doc.splitTitles.value("start"), "Getting started");
    // "\split  odd" has an empty second field: its title replaces the cover's.
    EXPECT_FALSE(doc.splitTitles.contains("odd"));
    EXPECT_EQ(doc.splitTitles.value(""), "Odd}");
    EXPECT_EQ(pages.last().fileName, "out/in.xml");
}

TEST(Preprocessor, ContentsEntryClosesEveryOpenLevel) {
    Workspace ws;
    ws.write("guide.v2.dg", QStringLiteral("\\split a\nA\n\\contents down\n\\split b\nB\n"
                                           "\\contents down\n\\split c\nC\n"));
    DocGen doc;
    OutputPageList pages;
    // The complete suffix is "v2.dg": nothing is read.
    doc.processFile(1, ws.path("guide.v2.dg"), "out", pages, QString(), {});
    EXPECT_TRUE(pages.isEmpty());

    ws.write("guide.dg", ws.read("guide.v2.dg"));
    const QString old = QDir::currentPath();
    QDir::setCurrent(ws.path());
    doc.processFile(1, "guide.dg", "out", pages, QString(), {});
    QDir::setCurrent(old);
    ASSERT_EQ(pages.size(), 4);
    EXPECT_EQ(pages.at(2).fileName, "c.htm");
    EXPECT_EQ(pages.at(3).fileName, "out/guide.xml");
    EXPECT_EQ(pages.at(3).text, "<content url=\"a.htm\">\n<content url=\"b.htm\">\n"
                                "<content url=\"c.htm\">\n</content>\n</content>\n</content>");
}
