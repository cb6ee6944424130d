#include "driver/run.h"

#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/menudefinitions.h"
#include "docgen/propertyregistryfile.h"
#include "driver/banner.h"
#include "driver/commandline.h"
#include "driver/filesystem.h"
#include "driver/hexception.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

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

void writePages(const OutputPageList &pages, bool verbose) {
    Diagnostics &diagnostics = ::diagnostics();
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
    writePages(pages, verbose);
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
        for (const QString &input : std::as_const(line.inputs))
            processInput(input, outputDirectory, line.verbose);
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
