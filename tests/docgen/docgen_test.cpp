#include "docgen/docgen.h"
#include "docgen/htmltext.h"
#include "docgen/pagetemplate.h"
#include "docgen/programtables.h"

#include "tests/docgen/markuptest.h"

#include <gtest/gtest.h>

namespace {

// A documentation set in mode 0 (bodies only) that collects its pages.
struct PageFixture : ::testing::Test {
    PageFixture() {
        doc.mode = 0;
        doc.pages = &pages;
    }
    DocGen doc;
    OutputPageList pages;
};

} // namespace

TEST_F(PageFixture, PagesNeedANameAndABody) {
    doc.pageBody = "orphan text";
    doc.startPage("first", false);  // the body without a name is dropped
    doc.startPage("second", false); // first has no body: no page
    doc.pageBody = "body";
    doc.startPage("third.htm", false);
    doc.pageBody = "more";
    doc.flushPage();
    EXPECT_EQ(fileNames(pages), (QStringList{"second.htm", "third.htm"}));
    EXPECT_EQ(pages.at(0).text, "body");
    EXPECT_EQ(doc.contentsLines, (QStringList{"<content url=\"first.htm\">", "</content>",
                                              "<content url=\"second.htm\">", "</content>",
                                              "<content url=\"third.htm.htm\">"}));
    EXPECT_TRUE(doc.pageName.isEmpty());
    EXPECT_TRUE(doc.pageBody.isEmpty());
}

TEST_F(PageFixture, QuietPagesWriteNoContentsLine) {
    doc.startPage("a", true);
    doc.pageBody = "x";
    doc.startPage("b", true);
    EXPECT_TRUE(doc.contentsLines.isEmpty());
    EXPECT_EQ(fileNames(pages), QStringList{"a.htm"});
}

TEST_F(PageFixture, SetTitleWritesAHeadingOnlyInModeZero) {
    doc.contentsLevel = 1;
    doc.setTitle("T & U");
    EXPECT_EQ(doc.pageBody, "<h2>T &amp; U</h2>");
    doc.mode = 1;
    doc.pageBody.clear();
    doc.setTitle("Other");
    EXPECT_EQ(doc.pageTitle, "Other");
    EXPECT_TRUE(doc.pageBody.isEmpty());
}

TEST_F(PageFixture, ModeOneWrapsThePageInTheTemplate) {
    doc.mode = 1;
    doc.startPage("p", false);
    doc.pageTitle = "Title %2";
    doc.pageBody = "<p>%1</p>";
    doc.flushPage();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages.at(0).text, pageTemplate("Title %2", "<p>%1</p>", QString()));
}

TEST(PageTemplate, HasTheFixedLinesAndFillsPlaceholdersOnce) {
    const QString page = pageTemplate("a<b & %3", "BODY %2\n", "st");
    const QStringList lines = page.split('\n');
    ASSERT_EQ(lines.size(), 23); // 21 lines, the body's own line end, the final one
    EXPECT_EQ(lines.at(0), "<html>");
    EXPECT_EQ(lines.at(1), "<!--");
    for (int i = 2; i < 12; ++i)
        EXPECT_TRUE(lines.at(i).startsWith("//")) << i;
    EXPECT_EQ(lines.at(12), "-->");
    EXPECT_EQ(lines.at(14), "<link rel=\"stylesheet\" href=\"default.css\" />");
    EXPECT_EQ(lines.at(15), "<title style=\"st\">a&lt;b &amp; %3</title>");
    EXPECT_EQ(lines.at(16),
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\" />");
    EXPECT_TRUE(page.endsWith("<body>\nBODY %2\n</body>\n</html>\n"));
}

TEST(SummaryTable, GroupsEntriesInTheProgramWideGroupOrder) {
    ProgramTables &t = programTables();
    t.groupOrder.clear();
    t.groupOrder.append("Earlier");
    t.entries.clear();
    t.groupList.clear();
    t.groupList.append("Uart");
    t.groupList.append(unassignedGroup);
    t.entries.insert("uart_b", {"uart_b", "Uart", "Second & last"});
    t.entries.insert("uart_a", {"uart_a", "Uart", "First"});
    t.entries.insert("misc", {"misc", unassignedGroup, ""});

    const QString row = "<tr><td valign=\"center\"><a href=\"%1.htm\" style=\"Heading\">%1</a>"
                        "</td>                            <td width=\"100%\">%2</td></tr>\n";
    const QString head = "<tr bgcolor=\"#cccccc\"><td valign=\"center\" colspan=\"2\" "
                         "style=\"CellTitle\"><b>%1</b></td></tr>\n";
    const QString expected =
        "<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" cellspacing=\"0\" "
        "border=\"0\" fm_widths=\"1.1in,*\" style=\"MultiHeadingTable\">\n" +
        head.arg("Earlier") + head.arg("Uart") + row.arg("uart_a", "First") +
        row.arg("uart_b", "Second &amp; last") + head.arg("*** UNASSIGNED GROUP ***") +
        row.arg("misc", "") + "</table>";
    EXPECT_EQ(writeSummaryTable(), expected);
    EXPECT_EQ(t.groupOrder.names(), (QStringList{"Earlier", "Uart", "*** UNASSIGNED GROUP ***"}));
    t.groupOrder.clear();
    t.entries.clear();
    t.groupList.clear();
}
