#include "tests/docgen/markuptest.h"

#include "docgen/docgen.h"
#include "docgen/interpreter.h"
#include "docgen/programtables.h"
#include "docgen/propertyregistry.h"
#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowserobject.h"

#include <gtest/gtest.h>

namespace {

struct ReferenceFixture : ::testing::Test {
    ReferenceFixture() {
        ProgramTables &t = programTables();
        t.entries.clear();
        t.groupList.clear();
        t.groupOrder.clear();
        t.paragraphTag = "p";
        entity.name = "uart_open";
        entity.kind = KindMethod;
    }
    ~ReferenceFixture() override {
        ProgramTables &t = programTables();
        t.entries.clear();
        t.groupList.clear();
        t.groupOrder.clear();
    }
    QString render(const QString &comment, int mode = 1) {
        doc.mode = mode;
        doc.pageBody.clear();
        return interpretMarkup(doc, comment, &entity);
    }
    DocGen doc;
    SourceBrowserObject entity;
};

} // namespace

TEST_F(ReferenceFixture, BriefAndGroupAreRegistered) {
    EXPECT_EQ(render("!\\brief Opens  the port.\n\\ingroup Ports\nText."), "<p>Text.</p>");
    const EntryRecord entry = programTables().entries.value("uart_open");
    EXPECT_EQ(entry.name, "uart_open");
    EXPECT_EQ(entry.brief, "Opens the port.");
    EXPECT_EQ(entry.group, "Ports");
    EXPECT_EQ(programTables().groupList.names(), QStringList{"Ports"});
}

TEST_F(ReferenceFixture, UngroupedEntityGoesToTheUnassignedGroup) {
    render("!Text");
    EXPECT_EQ(programTables().entries.value("uart_open").group, "*** UNASSIGNED GROUP ***");
    EXPECT_EQ(programTables().groupList.names(), QStringList{"*** UNASSIGNED GROUP ***"});
}

TEST_F(ReferenceFixture, CommentWithoutMarkIsNeitherRenderedNorRegistered) {
    entity.group = "Early";
    EXPECT_EQ(render("plain comment"), "");
    EXPECT_TRUE(doc.pageBody.isEmpty());
    EXPECT_TRUE(programTables().entries.isEmpty());
    // The entity's own group is filed before the comment is checked.
    EXPECT_EQ(programTables().groupList.names(), QStringList{"Early"});
}

TEST_F(ReferenceFixture, GroupOrderKeepsFirstMention) {
    render("!\\grouporder{B, A}\\grouporder{A}\\grouporder C ,  D  E");
    EXPECT_EQ(programTables().groupOrder.names(), (QStringList{"B", "A", "C", "D E"}));
}

TEST_F(ReferenceFixture, SectionCommands) {
    const MarkupCase cases[] = {
        {"!\\param{len} the length\n\nNext", "<p><b>len</b> &mdash; the length</p><p>Next</p>"},
        {"!\\param{a<b}", "<p><b>a&lt;b</b> &mdash;</p>"},
        {"!Text\\return the port", "<p>Text</p><p><b>uart_open</b> returns &mdash; the port</p>"},
        {"!\\rv\\errors\\sa\\seealso\\returns",
         "<h5>Return Value</h5><h5>Errors</h5><h5>See Also</h5><h5>See Also</h5>"
         "<h5>Return Value</h5>"},
        {"!\\description\\desc\\ts\\note\\stds\\standards\\port\\portability",
         "<h5>Description</h5><h5>Description</h5><h5>Thread Safety</h5><h5>Note</h5>"
         "<h5>Standards</h5><h5>Standards</h5><h5>Portability</h5><h5>Portability</h5>"},
        {"!\\task Do <it>\n\\side{Aside}", "<h5>Do <it></h5><h6>Aside</h6>"},
        {"!\\rem anything at all\n\\fixme later\\review{x}", ""},
        {"!\\show{uart_open}", ""},
        {"!\\property{Baud}", "<font color=\"red\">Unknown property Baud</font>"},
    };
    for (const MarkupCase &c : cases)
        EXPECT_EQ(render(QString::fromUtf8(c.markup)), QString::fromUtf8(c.body)) << c.markup;
    // Some headings belong to complete pages only.
    EXPECT_EQ(render("!\\note\\rv\\desc", 0), "<h5>Return Value</h5>");
}

TEST_F(ReferenceFixture, SynopsisEndsWithSemicolonExceptForMacros) {
    const QString function = render("!\\synopsis");
    EXPECT_TRUE(function.startsWith("<h5>Synopsis</h5><pre>")) << function.toStdString();
    EXPECT_TRUE(function.endsWith(";</span>\n</pre>")) << function.toStdString();

    SourceBrowserMacro macro;
    macro.name = "LIMIT";
    macro.kind = KindMacro;
    doc.pageBody.clear();
    const QString text = interpretMarkup(doc, "!\\synopsis", &macro);
    EXPECT_FALSE(text.contains(";")) << text.toStdString();
    EXPECT_EQ(renderMarkup("\\synopsis"), "<h5>Synopsis</h5>");
}

namespace {

class FakeRegistry : public PropertyRegistry {
public:
    bool findProperty(const QString &name, PropertyInfo *property) const override {
        if (name != "baud")
            return false;
        *property = {"Baud <rate>", "baud", 3, "Speed"};
        return true;
    }
    QList<PropertyInfo> pageProperties(const QString &page) const override {
        if (page != "serial")
            return {};
        return {{"Baud", "baud", 3, "Speed"}, {"Bits", "bits", 1, "Data bits"}};
    }
    bool hasPage(const QString &page) const override { return page == "serial"; }
};

} // namespace

TEST(Properties, RegistryAnswersPropertyAndPageQueries) {
    FakeRegistry registry;
    setPropertyRegistry(&registry);
    const QString head = "<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" "
                         "cellspacing=\"0\" border=\"0\" cols=\"200pt 200pt\">\n<tr><td "
                         "valign=\"center\" bgcolor=\"#cccccc\"><b>Property</b></td> <td "
                         "valign=\"center\" bgcolor=\"#cccccc\"><b>Description</b></td></tr>\n";
    EXPECT_EQ(renderMarkup("\\property baud"), "<b>Baud &lt;rate&gt;</b>");
    EXPECT_EQ(renderMarkup("\\envpage serial"),
              head + "<tr><td>Baud<small><tt>baud</tt>&nbsp;&ndash;&nbsp;3</small></td><td>Speed"
                     "</td></tr>\n<tr><td>Bits<small><tt>bits</tt>&nbsp;&ndash;&nbsp;1</small>"
                     "</td><td>Data bits</td></tr>\n</table>");
    setPropertyRegistry(nullptr);
    EXPECT_EQ(renderMarkup("\\envpage serial"), head + "</table>");
}
