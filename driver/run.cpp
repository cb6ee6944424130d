#include "driver/run.h"

#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/filesread.h"
#include "docgen/menudefinitions.h"
#include "docgen/modernpages.h"
#include "docgen/pagetemplate.h"
#include "docgen/propertyregistryfile.h"
#include "docgen/runstate.h"
#include "driver/banner.h"
#include "driver/commandline.h"
#include "driver/cores.h"
#include "driver/depfile.h"
#include "driver/filesystem.h"
#include "driver/hexception.h"
#include "driver/interrupt.h"
#include "driver/pagewriter.h"
#include "driver/pipeline.h"
#include "driver/prune.h"
#include "driver/sitefeed.h"
#include "driver/systemerror.h"
#include "site/site.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
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

// The contents script of a modern page's input (ModernPages): written as the pages are,
// but not a page.
bool isContentsScript(const QString &fileName) {
    return fileName.endsWith(QLatin1String(".contents.js"));
}

// Reports the pages of one input once it is processed, so that what the run prints keeps
// its order: the input's own messages, then one line per page up to the first that
// could not be written. written collects the names, for the dependency file.
// report, when given, collects the files whose bytes changed.
void reportPages(const std::vector<PageOutcome> &outcomes, bool verbose, QStringList &written,
                 RunReport *report) {
    Diagnostics &diagnostics = ::diagnostics();
    for (const PageOutcome &outcome : outcomes) {
        if (verbose)
            say("Outputting %s\n", outcome.fileName);
        if (!outcome.error.isEmpty())
            throw HException(outcome.error);
        if (report && outcome.changed)
            report->changed.append(outcome.fileName);
        if (isPage(outcome.fileName))
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

// What the inputs of a run share.
struct RunContext {
    QString outputDirectory;
    QString manualOutput; // QUILLGEN_MANUAL_OUTPUT; empty: the working directory
    bool verbose = false;
    bool site = false;
    bool modernPages = false; // QUILLGEN_PAGES=modern
    QString siteFolder;       // with the site: where its search page is
    QString sidebarScript;    // modern pages: share/quillgen/sidebar.js, as read
    // With modern pages: the declarations of all the run's headers that get a page,
    // known before the first page so that code links to those of later headers too.
    const PageNames *declarationPages = nullptr;
    Pipeline *pipeline = nullptr;
    Prune *prune = nullptr;      // with QUILLGEN_PRUNE
    RunReport *report = nullptr; // for runAgain
    QStringList written;         // the pages, for the dependency file
    QSet<QString> copiedImages;  // by destination: a picture shown on many pages is copied once
    QSet<QString> madeFolders;   // under manualOutput
};

// Copies the images that a manual's pages show to where the pages are (only while the
// pages go to QUILLGEN_MANUAL_OUTPUT). A picture that cannot be read is not copied:
// the missing image is what the warnings report.
void copyImages(const std::vector<DocGen::FileCopy> &copies, RunContext &run) {
    for (const DocGen::FileCopy &copy : copies) {
        if (run.copiedImages.contains(copy.to))
            continue;
        run.copiedImages.insert(copy.to);
        QByteArray bytes;
        const int error = readWholeFile(copy.from, bytes);
        if (error != 0) {
            recordReadFailure(copy.from, error);
            continue;
        }
        recordFileRead(copy.from);
        makePath(QFileInfo(copy.to).path());
        if (run.verbose)
            say("Outputting %s\n", copy.to);
        bool changed = true;
        const QByteArray failure = writePage(copy.to, bytes, &changed);
        if (!failure.isEmpty())
            throw HException(failure);
        if (run.report && changed)
            run.report->changed.append(copy.to);
        if (diagnostics().enabled())
            diagnostics().pageWritten(copy.to);
        if (run.prune)
            run.prune->written(copy.to);
    }
    throwOnReadFailure();
}

// Processes one input; next is the input after it (empty for the last), which the
// pipeline starts parsing while this one's pages are made.
void processInput(const QString &argument, const QString &next, RunContext &run) {
    const QString input = cleanPath(argument);
    if (run.verbose)
        say("Processing %s\n", input);
    diagnostics().beginInput();
    if (diagnostics().enabled())
        checkInput(input, run.outputDirectory);
    OutputPageList pages;
    Pipeline &pipeline = *run.pipeline;
    const bool manual = QFileInfo(input).completeSuffix() == QLatin1String("dg");
    // Under QUILLGEN_MANUAL_OUTPUT the folders that pages name are made as needed, as
    // the folders of the working directory are there already.
    const bool makesFolders = manual && !run.manualOutput.isEmpty();
    // Each page (and a modern input's contents script) goes to the writer as soon as it
    // is made; its text is not needed here.
    pages.onAppend = [&pipeline, &input, manual, makesFolders, &run](OutputPage &page) {
        const bool script = run.modernPages && isContentsScript(page.fileName);
        // Pages made after a read failed are not written: the run ends at the input's end.
        if ((!isPage(page.fileName) && !script) || readFailed())
            return;
        if (makesFolders) {
            const QString folder = page.fileName.left(page.fileName.lastIndexOf(u'/'));
            if (!run.madeFolders.contains(folder)) {
                run.madeFolders.insert(folder);
                makePath(folder);
            }
        }
        pipeline.write(std::move(page), input, manual, !script);
    };
    std::vector<DocGen::FileCopy> copies;
    QStringList icons;
    {
        DocGen docGen;
        docGen.contentsWanted = run.site; // only the site reads the contents file
        docGen.wordsWanted = run.site;
        docGen.modernPages = run.modernPages;
        if (run.site)
            docGen.modern->siteFolder = run.siteFolder;
        docGen.modern->sidebarScript = run.sidebarScript;
        docGen.declarationPages = run.declarationPages;
        if (manual)
            docGen.manualOutput = run.manualOutput;
        docGen.parsedHeader = pipeline.takeParsed(input);
        const bool parsedAhead = docGen.parsedHeader != nullptr;
        if (!next.isEmpty())
            pipeline.parseAhead(cleanPath(next), diagnostics().enabled());
        docGen.processFile(ModePages, input, run.outputDirectory, pages, QString(), QStringList());
        if (parsedAhead)
            pipeline.release(std::move(docGen.parsedHeader));
        copies = std::move(docGen.copies);
        icons = std::move(docGen.iconsWritten);
    }
    diagnostics().flush();
    const std::vector<PageOutcome> outcomes = pipeline.endInput();
    reportPages(outcomes, run.verbose, run.written, run.report);
    throwOnReadFailure();
    copyImages(copies, run);
    if (run.prune) {
        for (const PageOutcome &outcome : outcomes)
            run.prune->written(outcome.fileName);
        for (const QString &icon : icons)
            run.prune->written(icon);
    }
    if (run.site)
        pipeline.index(
            collectForSite(input, manual ? run.manualOutput : run.outputDirectory, pages));
}

// QUILLGEN_MANUAL_OUTPUT names the folder that manuals' pages go to; made when missing.
QString manualOutputFolder() {
    const QString folder = qEnvironmentVariable("QUILLGEN_MANUAL_OUTPUT");
    if (folder.isEmpty())
        return folder;
    if (!makePath(folder) || !QFileInfo(folder).isDir())
        throw HException("QUILLGEN_MANUAL_OUTPUT: cannot make the folder " + folder.toUtf8());
    return folder;
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
    if (!reason.isEmpty()) {
        // Looked for: a file that appears later may mend the run.
        if (!QFileInfo::exists(fileName))
            recordReadFailure(fileName, ENOENT);
        throw HException("cannot read " + QByteArray(what) + ' ' + fileName.toUtf8() + ": " +
                         reason.toUtf8());
    }
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

// QUILLGEN_PAGES=modern asks for pages with navigation, unset, empty or "classic" for
// the classic pages.
bool modernPagesWanted() {
    const QByteArray value = qgetenv("QUILLGEN_PAGES");
    if (value.isEmpty() || value == "classic")
        return false;
    if (value == "modern")
        return true;
    throw HException("QUILLGEN_PAGES: unknown value '" + value +
                     "' (expected classic or modern, or unset)");
}

// The script that draws a modern page's contents at the side; empty (no contents at
// the side) when it is not installed.
QString sidebarScript() {
    const QString path = shareFilePath("sidebar.js");
    QByteArray bytes;
    if (path.isEmpty() || readWholeFile(path, bytes) != 0)
        return QString();
    return QString::fromUtf8(bytes);
}

// The count of warnings closes the standard error of a run that gave any.
void printWarningCount() {
    const int count = diagnostics().count();
    if (count > 0)
        std::fprintf(stderr, "quillgen: %d warning%s\n", count, count == 1 ? "" : "s");
}

// Says on standard error what ended the run, after the warnings given before.
void printFailure(const HException &error) {
    std::fflush(stdout);
    diagnostics().flush();
    printWarningCount();
    std::fprintf(stderr, "error: %s\n", error.message().constData());
    if (diagnostics().enabled())
        std::fputs(failureNote(error).constData(), stderr);
    std::fflush(stderr);
}

[[noreturn]] void fail(const HException &error) {
    printFailure(error);
    // Pages still being written on other threads are finished first.
    exitRun(1);
}

// The run, from the variables to the last warning; returns the exit status, or throws
// HException for an error that ends the run. report, when given, learns what changed.
int render(const CommandLine &line, RunReport *report) {
    configureWarnings();
    const bool threaded = threadsWanted();
    const bool modernPages = modernPagesWanted();
    const bool pruning = Prune::requested();
    const bool siteWanted = siteRequested();
    if (report)
        report->started = true;
    loadFromEnvironment("QUILLGEN_MENU_DEFINITIONS", "menu definitions", loadMenuDefinitions);
    loadFromEnvironment("QUILLGEN_PROPERTIES", "property registry", loadPropertyRegistry);
    RunContext run;
    run.report = report;
    run.verbose = line.verbose;
    run.modernPages = modernPages;
    if (modernPages)
        run.sidebarScript = sidebarScript();
    run.manualOutput = manualOutputFolder();
    run.outputDirectory = line.outputDirectory;
    if (run.outputDirectory.isEmpty())
        run.outputDirectory = QDir::currentPath();
    else
        makePath(run.outputDirectory);
    // The site goes with the manual's pages.
    const QString siteFolder = run.manualOutput.isEmpty()
                                   ? QDir::currentPath()
                                   : QFileInfo(run.manualOutput).absoluteFilePath();
    std::unique_ptr<Prune> prune;
    if (pruning) {
        prune = std::make_unique<Prune>(QStringList{run.outputDirectory, siteFolder});
        run.prune = prune.get();
    }
    std::unique_ptr<Site> site;
    if (siteWanted)
        site = std::make_unique<Site>(siteFolder);
    run.site = site != nullptr;
    run.siteFolder = siteFolder;
    std::unique_ptr<Pipeline> pipeline;
    try {
        pipeline = std::make_unique<Pipeline>(threaded, site.get());
    } catch (const std::system_error &) {
        // No thread to be had (a process or memory limit): the run goes on without,
        // to the same pages.
        pipeline = std::make_unique<Pipeline>(false, site.get());
    }
    run.pipeline = pipeline.get();
    const QStringList &inputs = line.inputs;
    PageNames declarationPages;
    if (modernPages) {
        // The names of the pages that the headers' declarations get, known before the
        // first page; the models are not kept, but for the first input's.
        QStringList paths;
        paths.reserve(inputs.size());
        for (const QString &input : inputs)
            paths.append(cleanPath(input));
        pipeline->collectDeclarationPages(paths, diagnostics().enabled(), declarationPages);
        run.declarationPages = &declarationPages;
    }
    for (qsizetype i = 0; i < inputs.size(); ++i)
        processInput(inputs.at(i), i + 1 < inputs.size() ? inputs.at(i + 1) : QString(), run);
    pipeline->finish();
    writeDependencyFile(run.written);
    if (report)
        report->pages = run.written;
    if (site) {
        if (line.verbose)
            say("Outputting the site into %s\n", siteFolder);
        // Written as one: a stop that comes meanwhile waits for the whole site.
        const QByteArray error =
            whileWritingFiles([&site] { return site->write(stylesheetPath()); });
        if (!error.isEmpty())
            throw HException(error);
    }
    if (prune) {
        QStringList deleted;
        const QByteArray error = prune->finish(deleted);
        if (line.verbose)
            for (const QString &name : deleted)
                say("Deleting %s\n", name);
        if (!error.isEmpty())
            throw HException(error);
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
        return render(line, nullptr);
    } catch (const HException &error) {
        fail(error);
    }
}

RunReport runAgain(const CommandLine &line) {
    resetRunState();
    RunReport report;
    diagnostics().keepPrinted(&report.warnings);
    try {
        report.status = render(line, &report);
    } catch (const HException &error) {
        printFailure(error);
        report.status = 1;
        report.error = QString::fromUtf8(error.message());
    }
    diagnostics().keepPrinted(nullptr);
    report.read = filesRead();
    report.missing = filesMissing();
    return report;
}
