#include "driver/run.h"

#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/filesread.h"
#include "docgen/menudefinitions.h"
#include "docgen/pagetemplate.h"
#include "docgen/propertyregistryfile.h"
#include "driver/banner.h"
#include "driver/commandline.h"
#include "driver/cores.h"
#include "driver/depfile.h"
#include "driver/filesystem.h"
#include "driver/hexception.h"
#include "driver/interrupt.h"
#include "driver/pagewriter.h"
#include "driver/pipeline.h"
#include "driver/sitefeed.h"
#include "driver/systemerror.h"
#include "site/site.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <system_error>

namespace {

void say(const char *format, const QString &name) {
    std::printf(format, name.toUtf8().constData());
}

// Only pages are written; the contents entries stay in memory.
bool isPage(const QString &fileName) {
    // The suffix of the file's own name (after its last '/'), read in place: every page
    // is asked.
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot >= 0 && fileName.indexOf(u'/', dot) < 0 &&
           QStringView(fileName).mid(dot + 1) == QLatin1String("htm");
}

// Reports the pages of one input once it is processed, so that what the run prints keeps
// its order: the input's own messages, then one line per page up to the first that
// could not be written. written collects the names, for the dependency file.
void reportPages(const std::vector<PageOutcome> &outcomes, bool verbose, QStringList &written) {
    Diagnostics &diagnostics = ::diagnostics();
    for (const PageOutcome &outcome : outcomes) {
        if (verbose)
            say("Outputting %s\n", outcome.fileName);
        if (!outcome.error.isEmpty())
            throw HException(outcome.error);
        written.append(outcome.fileName);
        if (diagnostics.enabled())
            diagnostics.pageWritten(outcome.fileName);
    }
}

// Inputs that give no pages for a reason the writer should hear about. A header that
// cannot be read still gets its index page, with nothing in it; a manual gets nothing.
void checkInput(const QString &input, const QString &outputDirectory) {
    const QFileInfo info(input);
    const QString suffix = info.completeSuffix();
    const bool header = suffix == QLatin1String("h");
    if (!header && suffix != QLatin1String("dg")) {
        diagnostics().warn(
            input, 0, QStringLiteral("input ignored: its suffix is neither 'dg' nor 'h'"), "input");
        return;
    }
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("input does not exist");
    else if (info.isDir())
        problem = QStringLiteral("input is a directory, not a file");
    else if (!info.isReadable())
        problem = QStringLiteral("input cannot be read (no permission)");
    else
        return;
    const QString outcome =
        header ? QStringLiteral("only its index page '%1/%2_h.htm' is written, empty")
                     .arg(outputDirectory, info.baseName())
               : QStringLiteral("it gives no pages");
    diagnostics().warn(input, 0, problem + QLatin1String("; ") + outcome, "input");
}

// Processes one input; next is the input after it (empty for the last), which the
// pipeline starts parsing while this one's pages are made.
void processInput(const QString &argument, const QString &next, const QString &outputDirectory,
                  bool verbose, Pipeline &pipeline, bool site, QStringList &written) {
    const QString input = cleanPath(argument);
    if (verbose)
        say("Processing %s\n", input);
    diagnostics().beginInput();
    if (diagnostics().enabled())
        checkInput(input, outputDirectory);
    OutputPageList pages;
    // Each page goes to the writer as soon as it is made; its text is not needed here.
    const bool manual = QFileInfo(input).completeSuffix() == QLatin1String("dg");
    pages.onAppend = [&pipeline, &input, manual](OutputPage &page) {
        // Pages made after a read failed are not written: the run ends at the input's end.
        if (isPage(page.fileName) && !readFailed())
            pipeline.write(std::move(page), input, manual);
    };
    {
        DocGen docGen;
        docGen.contentsWanted = site; // only the site reads the contents file
        docGen.wordsWanted = site;
        docGen.parsedHeader = pipeline.takeParsed(input);
        const bool parsedAhead = docGen.parsedHeader != nullptr;
        if (!next.isEmpty())
            pipeline.parseAhead(cleanPath(next), diagnostics().enabled());
        docGen.processFile(ModePages, input, outputDirectory, pages, QString(), QStringList());
        if (parsedAhead)
            pipeline.release(std::move(docGen.parsedHeader));
    }
    diagnostics().flush();
    reportPages(pipeline.endInput(), verbose, written);
    throwOnReadFailure();
    if (site)
        pipeline.index(collectForSite(input, outputDirectory, pages));
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

// The menu definitions (QUILLGEN_MENU_DEFINITIONS) and the property registry
// (QUILLGEN_PROPERTIES) come from files named by the environment, read once before the
// first input; without the variable the tables stay empty. what names the file in the
// error that stops the run when it cannot be read.
void loadFromEnvironment(const char *variable, const char *what,
                         QString (*load)(const QString &fileName)) {
    const QString fileName = qEnvironmentVariable(variable);
    if (fileName.isEmpty())
        return;
    const QString reason = load(fileName);
    if (!reason.isEmpty())
        throw HException("cannot read " + QByteArray(what) + ' ' + fileName.toUtf8() + ": " +
                         reason.toUtf8());
}

// Warnings are switched on by QUILLGEN_WARNINGS; unset, empty or "0" leaves them off.
void configureWarnings() {
    const QString unknown = diagnostics().configure(qEnvironmentVariable("QUILLGEN_WARNINGS"));
    if (!unknown.isEmpty())
        throw HException("QUILLGEN_WARNINGS: unknown word '" + unknown.toUtf8() +
                         "' (expected 1, on, error or undocumented)");
}

// QUILLGEN_THREADS=1 runs everything on the calling thread; unset or empty, the run
// has threads when the process may use more than one core.
bool threadsWanted() {
    const QByteArray value = qgetenv("QUILLGEN_THREADS");
    if (value.isEmpty())
        return usableCores() > 1;
    if (value == "1")
        return false;
    throw HException("QUILLGEN_THREADS: unknown value '" + value + "' (expected 1, or unset)");
}

// The count of warnings closes the standard error of a run that gave any.
void printWarningCount() {
    const int count = diagnostics().count();
    if (count > 0)
        std::fprintf(stderr, "quillgen: %d warning%s\n", count, count == 1 ? "" : "s");
}

[[noreturn]] void fail(const HException &error) {
    std::fflush(stdout);
    diagnostics().flush();
    printWarningCount();
    std::fprintf(stderr, "error: %s\n", error.message().constData());
    if (diagnostics().enabled())
        std::fputs(failureNote(error).constData(), stderr);
    std::fflush(stderr);
    // Pages still being written on other threads are finished first.
    exitRun(1);
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
        const bool threaded = threadsWanted();
        loadFromEnvironment("QUILLGEN_MENU_DEFINITIONS", "menu definitions", loadMenuDefinitions);
        loadFromEnvironment("QUILLGEN_PROPERTIES", "property registry", loadPropertyRegistry);
        QString outputDirectory = line.outputDirectory;
        if (outputDirectory.isEmpty())
            outputDirectory = QDir::currentPath();
        else
            makePath(outputDirectory);
        std::unique_ptr<Site> site;
        if (siteRequested())
            site = std::make_unique<Site>(QDir::currentPath());
        QStringList pages;
        std::unique_ptr<Pipeline> pipeline;
        try {
            pipeline = std::make_unique<Pipeline>(threaded, site.get());
        } catch (const std::system_error &) {
            // No thread to be had (a process or memory limit): the run goes on without,
            // to the same pages.
            pipeline = std::make_unique<Pipeline>(false, site.get());
        }
        const QStringList &inputs = line.inputs;
        for (qsizetype i = 0; i < inputs.size(); ++i)
            processInput(inputs.at(i), i + 1 < inputs.size() ? inputs.at(i + 1) : QString(),
                         outputDirectory, line.verbose, *pipeline, site != nullptr, pages);
        pipeline->finish();
        writeDependencyFile(pages);
        if (site) {
            if (line.verbose)
                say("Outputting the site into %s\n", QDir::currentPath());
            // Written as one: a stop that comes meanwhile waits for the whole site.
            const QByteArray error =
                whileWritingFiles([&site] { return site->write(stylesheetPath()); });
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
