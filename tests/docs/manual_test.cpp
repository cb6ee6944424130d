// Renders quillgen's own manual (docs/manual) as scripts/demo does, with the example
// menu definitions and property registry, the example header and the example guide
// beside it, all with warnings as errors (so a dangling link or image fails the run), and
// checks what else a reader would trip over: missing pages, error markers, commands left
// unshown.

#include "tests/support/workspace.h"

#include "colouring/styles.h"
#include "docgen/interpreter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString sourceDir = QStringLiteral(QUILLGEN_SOURCE_DIR);

QByteArray readSource(const QString &relative) {
    QFile file(sourceDir + QLatin1Char('/') + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return file.readAll();
}

// The manual's own sources (not the samples it presents).
QStringList manualSources() {
    return QDir(sourceDir + QStringLiteral("/docs/manual"))
        .entryList({QStringLiteral("*.dg")}, QDir::Files, QDir::Name);
}

// The markup commands that a text really runs, read the way the interpreter reads
// them: braced arguments and coloured samples are taken as they stand, so a command
// named inside them does not count.
QSet<QString> commandsUsed(const QString &text) {
    QSet<QString> used;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'\\')
            continue;
        ++i;
        QString name;
        if (text.mid(i, 3) == QLatin1String("...")) {
            name = QStringLiteral("...");
            i += 3;
        } else if (i < n && (text[i].isPunct() || text[i].isSymbol())) {
            name = text[i++];
            if (i < n && text[i] == u'-' && name == QLatin1String("-"))
                name += text[i++];
        } else {
            while (i < n && text[i].unicode() < 128 && text[i].isLetterOrNumber())
                name += text[i++];
        }
        used.insert(name);
        if (name == QLatin1String("code") && i < n && text[i] == u'{') {
            const qsizetype end = text.indexOf(QLatin1String("\\endcode"), i);
            i = end < 0 ? n : end + 7;
        } else if (i < n && text[i] == u'{') {
            const qsizetype end = text.indexOf(u'}', i);
            i = end < 0 ? n : end;
        } else {
            --i;
        }
    }
    return used;
}

// Drops the comment lines that the preprocessor drops.
QString withoutComments(const QString &source) {
    QStringList lines = source.split(u'\n');
    lines.removeIf([](const QString &line) { return line.trimmed().startsWith(u'%'); });
    return lines.join(u'\n');
}

class Manual : public testing::Test {
protected:
    // Copies the files of a source folder into a folder of the workspace.
    static void copyFolder(const QString &from, const QString &to) {
        QDirIterator files(sourceDir + QLatin1Char('/') + from, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString relative = files.next().mid(sourceDir.size() + from.size() + 2);
            ws->write(to + relative, readSource(from + QLatin1Char('/') + relative));
        }
    }

    static void SetUpTestSuite() {
        ws = std::make_unique<Workspace>();
        copyFolder(QStringLiteral("docs/manual"), QString());
        copyFolder(QStringLiteral("examples/manual"), QStringLiteral("example/"));
        // The header goes first, so that the manual's links into its pages resolve.
        header = ws->run({"-o", "api", sourceDir + "/examples/headers/uart.h"}, strict);
        manual = ws->run({"-o", ".", "manual.dg"},
                         {{"QUILLGEN_MENU_DEFINITIONS", sourceDir + "/docs/menus.xml"},
                          {"QUILLGEN_PROPERTIES", sourceDir + "/docs/properties.xml"},
                          {"QUILLGEN_SITE", "1"},
                          strict[0]});
        example = ws->run({"-o", ".", "guide.dg"}, strict, QStringLiteral("example"));
    }
    static void TearDownTestSuite() { ws.reset(); }

    // Every page written, as paths relative to the workspace.
    static QStringList pages() {
        QStringList list;
        QDirIterator it(ws->path(), {QStringLiteral("*.htm")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            list << it.next().mid(ws->path().size() + 1);
        return list;
    }

    static inline const std::vector<std::pair<QString, QString>> strict = {
        {"QUILLGEN_WARNINGS", "error"}};
    static inline std::unique_ptr<Workspace> ws;
    static inline RunResult manual;
    static inline RunResult header;
    static inline RunResult example;
};

TEST_F(Manual, RendersWithoutWarningsAndWithEveryActionDefined) {
    EXPECT_EQ(manual.exitCode, 0) << manual.err.toStdString();
    EXPECT_EQ(header.exitCode, 0) << header.err.toStdString();
    EXPECT_EQ(example.exitCode, 0) << example.err.toStdString();
    EXPECT_FALSE(manual.out.contains("error:")) << manual.out.toStdString();
    // Every action the manual names has a menu text, and every \menu finds its path.
    EXPECT_FALSE(manual.err.contains("in message scheme")) << manual.err.toStdString();
    EXPECT_FALSE(manual.err.contains("\\menu Can't find")) << manual.err.toStdString();
}

TEST_F(Manual, WritesEveryPageItsSplitCommandsName) {
    int named = 0;
    for (const QString &source : manualSources()) {
        const QString text = QString::fromUtf8(readSource("docs/manual/" + source));
        bool inSample = false;
        for (const QString &line : text.split(u'\n')) {
            if (line.startsWith(QLatin1String("\\code{")))
                inSample = true;
            if (line.contains(QLatin1String("\\endcode")))
                inSample = false;
            if (inSample || !line.startsWith(QLatin1String("\\split ")))
                continue;
            QString name = line.section(u' ', 1, 1);
            name.remove(u'{').remove(u'}');
            ++named;
            EXPECT_TRUE(ws->exists(name + ".htm"))
                << source.toStdString() << ": " << name.toStdString();
        }
    }
    EXPECT_GE(named, 10);
    EXPECT_TRUE(ws->exists("api/uart_h.htm"));
}

TEST_F(Manual, PagesHoldNoErrorMarkerAndOnlyAscii) {
    for (const QString &page : pages()) {
        const QString text = ws->read(page);
        EXPECT_FALSE(text.contains("***")) << page.toStdString();
        EXPECT_FALSE(text.contains("Unknown property")) << page.toStdString();
        // The pages declare ISO-8859-1: anything beyond ASCII would depend on the locale.
        const auto wide =
            std::find_if(text.begin(), text.end(), [](QChar c) { return c.unicode() > 127; });
        EXPECT_TRUE(wide == text.end()) << page.toStdString();
    }
}

TEST_F(Manual, RunsEveryCommandOfTheVocabulary) {
    QSet<QString> used = commandsUsed(QString::fromUtf8(readSource("examples/headers/uart.h")));
    for (const QString &source : manualSources())
        used +=
            commandsUsed(withoutComments(QString::fromUtf8(readSource("docs/manual/" + source))));
    for (const QString &command : commandTable().names())
        EXPECT_TRUE(used.contains(command)) << "\\" << command.toStdString() << " is never run";
}

TEST_F(Manual, StylesheetColoursEveryCodeStyle) {
    const QString css = QString::fromUtf8(readSource("share/quillgen/default.css"));
    EXPECT_TRUE(css.contains("prefers-color-scheme: dark"));
    // A rule left open swallows every rule after it.
    EXPECT_EQ(css.count(u'{'), css.count(u'}'));
    for (int id = 0; !styleName(id).isNull(); ++id) {
        const QString name = styleName(id);
        if (name.isEmpty())
            continue;
        EXPECT_TRUE(css.contains(".qgn-code-" + name + " {")) << name.toStdString();
        // A colour of its own in both the light and the dark variables.
        EXPECT_EQ(css.count("--code-" + name + ":"), 2) << name.toStdString();
    }
}

// The manual and the header rendered as modern pages in one run, as scripts/demo does:
// every link and script that a page names (navigation, contents, links from code) is
// a file the run wrote.
TEST_F(Manual, ModernPagesLinkOnlyToFilesThatExist) {
    const RunResult modern =
        ws->run({"-o", ws->path("modern/api"), sourceDir + "/examples/headers/uart.h", "manual.dg"},
                {{"QUILLGEN_PAGES", "modern"},
                 {"QUILLGEN_MANUAL_OUTPUT", ws->path("modern")},
                 {"QUILLGEN_MENU_DEFINITIONS", sourceDir + "/docs/menus.xml"},
                 {"QUILLGEN_PROPERTIES", sourceDir + "/docs/properties.xml"},
                 {"QUILLGEN_SITE", "1"},
                 strict[0]});
    ASSERT_EQ(modern.exitCode, 0) << modern.err.toStdString();
    static const QRegularExpression reference(
        QStringLiteral("(?:href|src)=\"(?![a-z]+:)([^\":#?]+)"));
    int links = 0;
    QDirIterator it(ws->path("modern"), {QStringLiteral("*.htm")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString page = it.next();
        const QString folder = QFileInfo(page).path() + u'/';
        for (auto m = reference.globalMatch(ws->read(page.mid(ws->path().size() + 1)));
             m.hasNext();) {
            const QString target = m.next().captured(1);
            ++links;
            EXPECT_TRUE(QFileInfo::exists(folder + target))
                << page.toStdString() << " links " << target.toStdString();
        }
    }
    EXPECT_GT(links, 300);
}

} // namespace
