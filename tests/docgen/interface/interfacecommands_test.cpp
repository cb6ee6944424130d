#include "tests/docgen/markuptest.h"
#include "tests/support/workspace.h"

#include "docgen/interfacecommands.h"
#include "docgen/interfacetables.h"
#include "docgen/menudefinitions.h"

#include <gtest/gtest.h>

namespace {

const char *const definitions = R"(<definitions>
  <definemenubar>
    <definemenu caption="Main">
      <menu caption="&amp;File"><item name="FileOpen"/>
        <menu caption="Re&amp;cent"><item name="FileRecent"/></menu></menu>
      <item name="EditFind"/>
    </definemenu>
    <item name="TopLevel"/>
  </definemenubar>
  <definemenu caption="Other"><menu caption="Tools"><item name="FileOpen"/></menu></definemenu>
  <toolbar><item name="ToolOnly"/></toolbar>
  <messagescheme>
    <item name="FileOpen"><text>Open</text><tip>Opens a file</tip></item>
    <item name="FileRecent"><text>Recent &amp;Files</text></item>
    <item name="EditFind"><text>Find</text></item>
    <item name="TopLevel"><text>Top</text></item>
    <item name="ToolOnly"><text>Tool</text></item>
    <item name="Tagged"><tip>A &lt;i&gt;styled&lt;/i&gt; tip</tip></item>
  </messagescheme>
  <keyscheme><item name="FileOpen"><key>Ctrl+O</key></item><item name="KeyOnly"><key>F5</key></item>
  </keyscheme>
</definitions>
)";

// One call: its input, what it returned, and what it printed on the two streams.
struct Expected {
    const char *input;
    const char *result;
    const char *out;
    const char *err;
};

template <typename F>
void expectWritten(const Expected &e, F call) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const QString result = call(QString::fromUtf8(e.input));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), e.out) << "input: " << e.input;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), e.err) << "input: " << e.input;
    EXPECT_EQ(result, QString::fromUtf8(e.result)) << "input: " << e.input;
}

QString renderText(const QString &markup) {
    return renderMarkup(markup);
}

class InterfaceCommands : public testing::Test {
protected:
    void SetUp() override {
        workspace_.write(QStringLiteral("menus.xml"), QByteArray(definitions));
        ASSERT_EQ(loadMenuDefinitions(workspace_.path(QStringLiteral("menus.xml"))), QString());
    }
    void TearDown() override { interfaceTables().clear(); }

    Workspace workspace_;
};

} // namespace

TEST_F(InterfaceCommands, MenuPaths) {
    for (const Expected &e : {
             Expected{"FileOpen", "Main > File > Open", "", ""},
             Expected{"FileRecent", "Main > File > Recent > Recent &Files", "", ""},
             Expected{"EditFind", "Main > Find", "", ""},
             Expected{"TopLevel", "Top", "", "Unprocessed tagdefinemenubar\n"},
             Expected{"ToolOnly", "", "", "Can't find ToolOnly in any menu\n"},
             Expected{"fileopen", "", "", "Can't find fileopen in message scheme\n"},
         })
        expectWritten(e, menuPath);
}

TEST_F(InterfaceCommands, FindMenuItemSearchesBelowTheGivenParent) {
    const QDomDocument &document = interfaceTables().menuDefinitions();
    const QDomElement other = document.documentElement().firstChildElement("definemenu");
    const auto menuOf = [](const QDomElement &item) {
        return item.parentNode().toElement().attribute(QStringLiteral("caption"));
    };
    EXPECT_EQ(menuOf(findMenuItem(document, QStringLiteral("FileOpen"))), "&File");
    EXPECT_EQ(menuOf(findMenuItem(other, QStringLiteral("FileOpen"))), "Tools");
    EXPECT_TRUE(findMenuItem(other, QStringLiteral("EditFind")).isNull());
    EXPECT_TRUE(findMenuItem(document, QStringLiteral("ToolOnly")).isNull());
}

TEST_F(InterfaceCommands, Commands) {
    for (const Expected &e : {
             Expected{"\\Choose FileOpen",
                      "Choose <b>Main > File > Open</b> or press <b>Ctrl+O</b>", "", ""},
             Expected{"So \\choose{FileOpen}.",
                      "<p>So choose <b>Main > File > Open</b> or press <b>Ctrl+O</b>.</p>", "", ""},
             Expected{"\\Choosing EditFind", "Choosing <b>Main > Find</b>", "", ""},
             Expected{"\\Choosing KeyOnly", "Pressing <b>F5</b>", "",
                      "Can't find KeyOnly in message scheme\n"},
             Expected{"x \\choosing KeyOnly", "<p>x pressing <b>F5</b></p>", "",
                      "Can't find KeyOnly in message scheme\n"},
             Expected{"\\choose Nothing", "***ERROR***",
                      "error: docgen: missing both menu path and accelerator for Nothing\n",
                      "Can't find Nothing in message scheme\n"},
             Expected{"\\choose{}", "***ERROR***", "error: docgen: choose has empty action name\n",
                      ""},
             Expected{"\\menu{File > Open}", "<p><b>File &gt; Open</b></p>", "", ""},
             Expected{"\\menu FileOpen", "<p><b>Main &gt; File &gt; Open</b></p>", "", ""},
             Expected{"\\menu Missing", "<p><b></b></p>", "",
                      "Can't find Missing in message scheme\n\\menu Can't find Missing\n"},
             Expected{"\\key FileOpen\\key{No<Key}", "<p><b>Ctrl+O</b><b>No<Key</b></p>", "", ""},
             Expected{"\\tip FileOpen \\tip Tagged", "<p>Opens a file A <i>styled</i> tip</p>", "",
                      ""},
             Expected{"\\tip Missing", "<p><b>***ERROR NO TIP*** Missing</b></p>", "", ""},
             Expected{"\\ui{OK & Cancel}", "<p><b>OK &amp; Cancel</b></p>", "", ""},
         })
        expectWritten(e, renderText);
}

TEST(InterfaceCommandsWithoutDefinitions, ChooseReportsTheMissingAction) {
    interfaceTables().clear();
    expectWritten({"\\choose FileOpen", "***ERROR***",
                   "error: docgen: missing both menu path and accelerator for FileOpen\n",
                   "Can't find FileOpen in message scheme\n"},
                  renderText);
}

TEST(MenuDefinitions, UnreadableFilesGiveAReason) {
    Workspace w;
    w.write(QStringLiteral("broken.xml"), QByteArray("<definitions><menu></definitions>"));
    // Nesting is bounded: the parser's cost grows with the square of the depth.
    w.write(QStringLiteral("deep.xml"), QByteArray("<menu>").repeated(2000));
    EXPECT_NE(loadMenuDefinitions(w.path(QStringLiteral("missing.xml"))), QString());
    EXPECT_TRUE(loadMenuDefinitions(w.path(QStringLiteral("broken.xml"))).contains("line 1"));
    EXPECT_TRUE(loadMenuDefinitions(w.path(QStringLiteral("deep.xml"))).contains("nested"));
}

// A readable file is loaded the same way for the manual's own tests.
TEST(MenuDefinitions, ToolStopsOnAnUnreadableFileNamedByTheEnvironment) {
    Workspace w;
    w.write(QStringLiteral("bad.xml"), QByteArray("<definitions>"));
    w.write(QStringLiteral("manual.dg"),
            QByteArray("\\split{page}\n\\Choose FileOpen, \\key KeyOnly, \\tip FileOpen.\n"));
    const RunResult bad = w.run({QStringLiteral("manual.dg")},
                                {{QStringLiteral("QUILLGEN_MENU_DEFINITIONS"), w.path("bad.xml")}});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(
        bad.err.startsWith("error: cannot read menu definitions " + w.path("bad.xml") + ": "))
        << bad.err.toStdString();
    EXPECT_FALSE(w.exists(QStringLiteral("page.htm")));
}
