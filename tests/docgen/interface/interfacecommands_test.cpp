#include "tests/docgen/interface/interfacetest.h"
#include "tests/support/workspace.h"

#include "docgen/interfacecommands.h"
#include "docgen/interfacetables.h"
#include "docgen/menudefinitions.h"

#include <gtest/gtest.h>

namespace {

const char *const definitions = R"(<definitions>
  <definemenubar>
    <definemenu caption="Main">
      <menu caption="&amp;File">
        <item name="FileOpen"/>
        <menu caption="Re&amp;cent"><item name="FileRecent"/></menu>
      </menu>
      <item name="EditFind"/>
    </definemenu>
    <item name="TopLevel"/>
  </definemenubar>
  <definemenu caption="Other">
    <menu caption="Tools"><item name="FileOpen"/></menu>
  </definemenu>
  <toolbar><item name="ToolOnly"/></toolbar>
  <messagescheme>
    <item name="FileOpen"><text>Open</text><tip>Opens a file</tip></item>
    <item name="FileRecent"><text>Recent &amp;Files</text></item>
    <item name="EditFind"><text>Find</text></item>
    <item name="TopLevel"><text>Top</text></item>
    <item name="ToolOnly"><text>Tool</text></item>
    <item name="Tagged"><tip>A &lt;i&gt;styled&lt;/i&gt; tip</tip></item>
  </messagescheme>
  <keyscheme>
    <item name="FileOpen"><key>Ctrl+O</key></item>
    <item name="KeyOnly"><key>F5</key></item>
  </keyscheme>
</definitions>
)";

// What a call wrote into the page and on the two streams.
struct Written {
    QString result;
    std::string out;
    std::string err;
};

template <typename F>
Written capture(F call) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Written w;
    w.result = call();
    w.out = testing::internal::GetCapturedStdout();
    w.err = testing::internal::GetCapturedStderr();
    return w;
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

struct Expected {
    const char *input;
    const char *result;
    const char *out; // standard output
    const char *err; // standard error
};

void expectWritten(const Written &w, const Expected &e) {
    EXPECT_EQ(w.result, QString::fromUtf8(e.result)) << "input: " << e.input;
    EXPECT_EQ(w.out, e.out) << "input: " << e.input;
    EXPECT_EQ(w.err, e.err) << "input: " << e.input;
}

} // namespace

TEST_F(InterfaceCommands, MenuPaths) {
    const Expected cases[] = {
        {"FileOpen", "Main > File > Open", "", ""},
        {"FileRecent", "Main > File > Recent > Recent &Files", "", ""},
        {"EditFind", "Main > Find", "", ""},
        {"TopLevel", "Top", "", "Unprocessed tagdefinemenubar\n"},
        {"ToolOnly", "", "", "Can't find ToolOnly in any menu\n"},
        {"KeyOnly", "", "", "Can't find KeyOnly in message scheme\n"},
        {"fileopen", "", "", "Can't find fileopen in message scheme\n"},
    };
    for (const Expected &e : cases)
        expectWritten(capture([&] { return menuPath(QString::fromUtf8(e.input)); }), e);
}

TEST_F(InterfaceCommands, FindMenuItemSearchesBelowTheGivenParent) {
    const QDomDocument &document = interfaceTables().menuDefinitions();
    const QDomElement first = findMenuItem(document, QStringLiteral("FileOpen"));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.parentNode().toElement().attribute(QStringLiteral("caption")), "&File");
    EXPECT_EQ(interfaceTables().menuItem(QStringLiteral("FileOpen")), first);

    const QDomElement other = document.documentElement().firstChildElement("definemenu");
    const QDomElement second = findMenuItem(other, QStringLiteral("FileOpen"));
    EXPECT_EQ(second.parentNode().toElement().attribute(QStringLiteral("caption")), "Tools");
    EXPECT_TRUE(findMenuItem(other, QStringLiteral("EditFind")).isNull());
    EXPECT_TRUE(findMenuItem(document, QStringLiteral("ToolOnly")).isNull());
}

TEST_F(InterfaceCommands, ChooseSentences) {
    const Expected cases[] = {
        {"\\Choose FileOpen", "Choose <b>Main > File > Open</b> or press <b>Ctrl+O</b>", "", ""},
        {"Then \\choose{FileOpen}.",
         "<p>Then choose <b>Main > File > Open</b> or press <b>Ctrl+O</b>.</p>", "", ""},
        {"\\Choosing EditFind", "Choosing <b>Main > Find</b>", "", ""},
        {"\\Choosing KeyOnly", "Pressing <b>F5</b>", "", "Can't find KeyOnly in message scheme\n"},
        {"x \\choosing KeyOnly", "<p>x pressing <b>F5</b></p>", "",
         "Can't find KeyOnly in message scheme\n"},
        {"\\choose Nothing", "***ERROR***",
         "error: docgen: missing both menu path and accelerator for Nothing\n",
         "Can't find Nothing in message scheme\n"},
        {"\\choose{}", "***ERROR***", "error: docgen: choose has empty action name\n", ""},
    };
    for (const Expected &e : cases)
        expectWritten(capture([&] { return render(QString::fromUtf8(e.input)); }), e);
}

TEST_F(InterfaceCommands, MenuKeyTipAndUi) {
    const Expected cases[] = {
        {"\\menu{File > Open}", "<p><b>File &gt; Open</b></p>", "", ""},
        {"\\menu FileOpen", "<p><b>Main &gt; File &gt; Open</b></p>", "", ""},
        {"\\menu Missing", "<p><b></b></p>", "",
         "Can't find Missing in message scheme\n\\menu Can't find Missing\n"},
        {"\\key FileOpen", "<p><b>Ctrl+O</b></p>", "", ""},
        {"\\key{No<Key}", "<p><b>No<Key</b></p>", "", ""},
        {"\\tip FileOpen", "<p>Opens a file</p>", "", ""},
        {"\\tip Tagged", "<p>A <i>styled</i> tip</p>", "", ""},
        {"\\tip Missing", "<p><b>***ERROR NO TIP*** Missing</b></p>", "", ""},
        {"\\ui{OK & Cancel}", "<p><b>OK &amp; Cancel</b></p>", "", ""},
    };
    for (const Expected &e : cases)
        expectWritten(capture([&] { return render(QString::fromUtf8(e.input)); }), e);
}

TEST(InterfaceCommandsWithoutDefinitions, ChooseReportsTheMissingAction) {
    interfaceTables().clear();
    expectWritten(capture([] { return render(QStringLiteral("\\choose FileOpen")); }),
                  {"\\choose FileOpen", "***ERROR***",
                   "error: docgen: missing both menu path and accelerator for FileOpen\n",
                   "Can't find FileOpen in message scheme\n"});
}

TEST(MenuDefinitions, UnreadableFilesGiveAReason) {
    Workspace w;
    w.write(QStringLiteral("broken.xml"), QByteArray("<definitions><menu></definitions>"));
    EXPECT_NE(loadMenuDefinitions(w.path(QStringLiteral("missing.xml"))), QString());
    EXPECT_TRUE(loadMenuDefinitions(w.path(QStringLiteral("broken.xml"))).contains("line 1"));
    // Nesting is bounded: the parser's cost grows with the square of the depth.
    w.write(QStringLiteral("deep.xml"), "<definemenu>" + QByteArray("<menu>").repeated(2000) +
                                            QByteArray("</menu>").repeated(2000) + "</definemenu>");
    EXPECT_TRUE(loadMenuDefinitions(w.path(QStringLiteral("deep.xml"))).contains("nested"));
}

TEST(MenuDefinitions, ToolLoadsTheFileNamedByTheEnvironment) {
    Workspace w;
    w.write(QStringLiteral("menus.xml"), QByteArray(definitions));
    w.write(QStringLiteral("manual.dg"),
            QByteArray("\\split{page.htm}\n\\Choose FileOpen, \\key KeyOnly, \\tip FileOpen.\n"));
    const RunResult run =
        w.run({QStringLiteral("manual.dg")},
              {{QStringLiteral("QUILLGEN_MENU_DEFINITIONS"), w.path(QStringLiteral("menus.xml"))}});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(pageBody(w.read(QStringLiteral("page.htm"))),
              "Choose <b>Main > File > Open</b> or press <b>Ctrl+O</b><p>, <b>F5</b>, "
              "Opens a file.</p>");
}

TEST(MenuDefinitions, ToolStopsBeforeAnyInputOnABadFile) {
    Workspace w;
    w.write(QStringLiteral("menus.xml"), QByteArray("<definitions>"));
    w.write(QStringLiteral("manual.dg"), QByteArray("\\split{page.htm}\nText\n"));
    const QString menus = w.path(QStringLiteral("menus.xml"));
    const RunResult run = w.run({QStringLiteral("manual.dg")},
                                {{QStringLiteral("QUILLGEN_MENU_DEFINITIONS"), menus}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("error: cannot read menu definitions " + menus + ": "))
        << run.err.toStdString();
    EXPECT_FALSE(w.exists(QStringLiteral("page.htm")));
}
