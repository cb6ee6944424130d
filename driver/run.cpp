#include "driver/run.h"

#include "docgen/docgen.h"
#include "docgen/filesread.h"
#include "docgen/menudefinitions.h"
#include "driver/banner.h"
#include "driver/commandline.h"
#include "driver/depfile.h"
#include "driver/filesystem.h"
#include "driver/hexception.h"
#include "driver/pagewriter.h"

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

// written collects the names of the pages, for the dependency file.
void writePages(const OutputPageList &pages, bool verbose, QStringList &written) {
    for (const OutputPage &page : pages) {
        if (!isPage(page.fileName))
            continue;
        if (verbose)
            say("Outputting %s\n", page.fileName);
        const QByteArray error = writePage(page.fileName, page.text.toLocal8Bit());
        if (!error.isEmpty())
            throw HException(error);
        written.append(page.fileName);
    }
}

void processInput(const QString &argument, const QString &outputDirectory, bool verbose,
                  QStringList &written) {
    const QString input = cleanPath(argument);
    if (verbose)
        say("Processing %s\n", input);
    OutputPageList pages;
    {
        DocGen docGen;
        docGen.processFile(1, input, outputDirectory, pages, QString(), QStringList());
    }
    writePages(pages, verbose, written);
}

// With QUILLGEN_DEPFILE set, the build learns which files the pages were made from.
// The file is written only after the last page, so a failed run leaves none behind
// that would claim the pages are up to date.
void writeDependencyFile(const QStringList &pages) {
    const QString fileName = qEnvironmentVariable("QUILLGEN_DEPFILE");
    if (fileName.isEmpty())
        return;
    const QByteArray error = writePage(fileName, dependencyRule(pages, filesRead()));
    if (!error.isEmpty())
        throw HException(error);
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
        QString outputDirectory = line.outputDirectory;
        if (outputDirectory.isEmpty())
            outputDirectory = QDir::currentPath();
        else
            makePath(outputDirectory);
        QStringList pages;
        for (const QString &input : std::as_const(line.inputs))
            processInput(input, outputDirectory, line.verbose, pages);
        writeDependencyFile(pages);
    } catch (const HException &error) {
        fail(error);
    }
    std::fflush(stdout);
    return 0;
}
