#include "driver/run.h"

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
    for (const OutputPage &page : pages) {
        if (!isPage(page.fileName))
            continue;
        if (verbose)
            say("Outputting %s\n", page.fileName);
        removeFile(page.fileName);
        const QByteArray error = writeTextFile(page.fileName, page.text);
        if (!error.isEmpty())
            throw HException(error);
    }
}

void processInput(const QString &argument, const QString &outputDirectory, bool verbose) {
    const QString input = cleanPath(argument);
    if (verbose)
        say("Processing %s\n", input);
    OutputPageList pages;
    {
        DocGen docGen;
        docGen.processFile(1, input, outputDirectory, pages, QString(), QStringList());
    }
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
    return 0;
}
