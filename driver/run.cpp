#include "driver/run.h"

#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/menudefinitions.h"
#include "docgen/programtables.h"
#include "docgen/propertyregistryfile.h"
#include "driver/banner.h"
#include "driver/commandline.h"
#include "driver/filesystem.h"
#include "driver/hexception.h"
#include "site/site.h"
#include "sourcebrowser/sourcebrowserobject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cstdio>
#include <memory>

namespace {

void say(const char *format, const QString &name) {
    std::printf(format, name.toUtf8().constData());
}

// Only pages are written; the contents entries stay in memory.
bool isPage(const QString &fileName) {
    const QString base = QFileInfo(fileName).fileName();
    const int dot = int(base.lastIndexOf(u'.'));
    return dot >= 0 && QStringView(base).mid(dot + 1) == QLatin1String("htm");
}

// The reader's site of QUILLGEN_SITE, fed while the run writes its pages; none without it.
std::unique_ptr<Site> site;

bool siteRequested() {
    const QString value = qEnvironmentVariable("QUILLGEN_SITE");
    return !value.isEmpty() && value != QLatin1String("0");
}

const char *kindName(int kind) {
    switch (kind) {
    case KindClass:
        return "class";
    case KindMethod:
        return "function";
    case KindVariable:
        return "variable";
    case KindTypedef:
        return "type";
    case KindStruct:
        return "struct or union";
    case KindEnum:
        return "enum";
    case KindNamespace:
        return "namespace";
    case KindMacro:
        return "macro";
    }
    return "declaration";
}

// What the site needs of one input once its pages are written: its contents entry and,
// for a header, its documented declarations (still in the entry table until the next
// input begins).
void collectForSite(const QString &input, const QString &outputDirectory,
                    const OutputPageList &pages) {
    const bool header = QFileInfo(input).completeSuffix() == QLatin1String("h");
    for (const OutputPage &page : pages)
        if (page.fileName.endsWith(QLatin1String(".xml")))
            site->addContents(page.text, header ? outputDirectory : QString());
    if (!header)
        return;
    const QString base = QFileInfo(input).baseName();
    const QString headerName = QFileInfo(input).fileName();
    const QString headerPage = outputDirectory + u'/' + base + QLatin1String("_h.htm");
    site->addDeclaration(Site::Declaration{headerName, QStringLiteral("header"), QString(),
                                           headerPage, QString(), QString()});
    // One string per kind, shared by every declaration of that kind.
    static QHash<int, QString> kinds;
    for (const EntryRecord &entry : std::as_const(programTables().entries)) {
        QString &kind = kinds[entry.kind];
        if (kind.isEmpty())
            kind = QLatin1String(kindName(entry.kind));
        site->addDeclaration(Site::Declaration{
            entry.name, kind, entry.brief,
            outputDirectory + u'/' + entry.name + QLatin1String(".htm"), headerName, headerPage});
    }
}

// The stylesheet that the pages link: installed beside the program, or the one in the
// sources for a program run from its build folder.
QString stylesheetPath() {
    QString prefix = QCoreApplication::applicationDirPath();
    const QString bin = QStringLiteral("/" QUILLGEN_BIN_DIR);
    if (prefix.endsWith(bin)) {
        prefix.chop(bin.size());
        const QString installed = prefix + QStringLiteral("/" QUILLGEN_DATA_DIR "/default.css");
        if (QFileInfo::exists(installed))
            return installed;
    }
    const QString source = QStringLiteral(QUILLGEN_SOURCE_SHARE "/default.css");
    return QFileInfo::exists(source) ? source : QString();
}

void writePages(const OutputPageList &pages, bool verbose, const QString &input) {
    Diagnostics &diagnostics = ::diagnostics();
    const bool manual = QFileInfo(input).completeSuffix() == QLatin1String("dg");
    for (const OutputPage &page : pages) {
        if (!isPage(page.fileName))
            continue;
        if (verbose)
            say("Outputting %s\n", page.fileName);
        removeFile(page.fileName);
        const QByteArray error = writeTextFile(page.fileName, page.text);
        if (!error.isEmpty())
            throw HException(error);
        if (diagnostics.enabled())
            diagnostics.pageWritten(page.fileName);
        if (site)
            site->addPage(page.fileName, page.title, page.text, input, manual);
    }
}

// Inputs that give no pages for a reason the writer should hear about.
void checkInput(const QString &input) {
    const QString suffix = QFileInfo(input).completeSuffix();
    if (suffix != QLatin1String("dg") && suffix != QLatin1String("h")) {
        diagnostics().warn(
            input, 0, QStringLiteral("input ignored: its suffix is neither 'dg' nor 'h'"), "input");
        return;
    }
    const QFileInfo info(input);
    if (!info.isFile() || !info.isReadable())
        diagnostics().warn(input, 0,
                           info.exists()
                               ? QStringLiteral("cannot read input; it gives no pages")
                               : QStringLiteral("input does not exist; it gives no pages"),
                           "input");
}

void processInput(const QString &argument, const QString &outputDirectory, bool verbose) {
    const QString input = cleanPath(argument);
    if (verbose)
        say("Processing %s\n", input);
    diagnostics().beginInput();
    if (diagnostics().enabled())
        checkInput(input);
    OutputPageList pages;
    {
        DocGen docGen;
        docGen.processFile(1, input, outputDirectory, pages, QString(), QStringList());
    }
    diagnostics().flush();
    writePages(pages, verbose, input);
    if (site)
        collectForSite(input, outputDirectory, pages);
}

// Menu and message definitions come from the file that QUILLGEN_MENU_DEFINITIONS
// names; without it both tables stay empty.
void loadDefinitionsFromEnvironment() {
    const QString fileName = qEnvironmentVariable("QUILLGEN_MENU_DEFINITIONS");
    if (fileName.isEmpty())
        return;
    const QString reason = loadMenuDefinitions(fileName);
    if (!reason.isEmpty())
        throw HException("cannot read menu definitions " + fileName.toUtf8() + ": " +
                         reason.toUtf8());
}

// Warnings are switched on by QUILLGEN_WARNINGS; unset, empty or "0" leaves them off.
void configureWarnings() {
    const QString unknown = diagnostics().configure(qEnvironmentVariable("QUILLGEN_WARNINGS"));
    if (!unknown.isEmpty())
        throw HException("QUILLGEN_WARNINGS: unknown word '" + unknown.toUtf8() +
                         "' (expected 1, on, error or undocumented)");
}

// The count of warnings closes the standard error of a run that gave any.
void printWarningCount() {
    const int count = diagnostics().count();
    if (count > 0)
        std::fprintf(stderr, "quillgen: %d warning%s\n", count, count == 1 ? "" : "s");
}

// The properties that \property and \envpage describe come from the file that
// QUILLGEN_PROPERTIES names; without it no registry is installed.
void loadPropertiesFromEnvironment() {
    const QString fileName = qEnvironmentVariable("QUILLGEN_PROPERTIES");
    if (fileName.isEmpty())
        return;
    const QString reason = loadPropertyRegistry(fileName);
    if (!reason.isEmpty())
        throw HException("cannot read property registry " + fileName.toUtf8() + ": " +
                         reason.toUtf8());
}

[[noreturn]] void fail(const HException &error) {
    std::fflush(stdout);
    diagnostics().flush();
    printWarningCount();
    std::fprintf(stderr, "error: %s\n", error.message().constData());
    std::fflush(stderr);
    std::exit(1);
}

} // namespace

int runQuillgen(int argc, char **argv) {
    const char *toolName = "quillgen";
    CommandLine line;
    try {
        line = parseCommandLine(argc, argv);
    } catch (const HException &error) {
        fail(error);
    }
    if (line.inputs.isEmpty()) {
        printUsage(toolName);
        return 1;
    }

    try {
        configureWarnings();
        loadDefinitionsFromEnvironment();
        loadPropertiesFromEnvironment();
        QString outputDirectory = line.outputDirectory;
        if (outputDirectory.isEmpty())
            outputDirectory = QDir::currentPath();
        else
            makePath(outputDirectory);
        if (siteRequested())
            site = std::make_unique<Site>(QDir::currentPath());
        for (const QString &input : std::as_const(line.inputs))
            processInput(input, outputDirectory, line.verbose);
        if (site) {
            if (line.verbose)
                say("Outputting the site into %s\n", QDir::currentPath());
            const QByteArray error = site->write(stylesheetPath());
            site.reset();
            if (!error.isEmpty())
                throw HException(error);
        }
    } catch (const HException &error) {
        fail(error);
    }
    std::fflush(stdout);
    Diagnostics &diagnostics = ::diagnostics();
    if (!diagnostics.enabled())
        return 0;
    diagnostics.checkExpectedFiles();
    diagnostics.flush();
    printWarningCount();
    return diagnostics.failsRun() && diagnostics.count() > 0 ? 2 : 0;
}
