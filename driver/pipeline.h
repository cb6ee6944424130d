#pragma once

#include "colouring/codelinks.h"
#include "docgen/headerparse.h"
#include "docgen/outputpage.h"
#include "driver/stage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <vector>

class Site;

// What became of a page handed to the writer: its name and, when it failed, the error
// (as writePage gives it).
struct PageOutcome {
    QString fileName;
    QByteArray error;
    bool changed = true; // the file's bytes differ from what it held before the run
};

// The stages of a run, and the threads they run on:
//
//   reader ──parsed header──▶ pages ──page──▶ writer
//                                    └─page──▶ site
//
// - reader: parses the next header while the pages of the current input are made, and
//   prepares its declarations; the model comes back to it to be freed, so that each
//   thread frees what it allocated. With modern pages it first parses headers for the
//   names of their declarations' pages, beside the caller's thread.
// - pages: the caller's thread, which makes each input's pages in turn (DocGen).
// - writer: forms each page's bytes and writes its file, in the order made.
// - site: reads each page into the reader's site (QUILLGEN_SITE), beside the writer.
//
// Without threads the caller's thread runs every stage, in the same order; the reader
// then parses nothing ahead and the pages parse their own header.
class Pipeline {
public:
    // site: the site to feed, or none. Throws std::system_error when a thread cannot be
    // started.
    Pipeline(bool threaded, Site *site);
    ~Pipeline();
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;

    // Starts parsing the header at path ahead, when the run has threads and path names a
    // regular file with the suffix "h" (a pipe or device is read in its turn, so that a
    // stopped run never waits for it), and that header's model was not kept by
    // collectDeclarationPages. keepMessages as parseHeader takes it.
    void parseAhead(const QString &path, bool keepMessages);
    // Adds to pages, before any page is made, the declarations with a written page
    // (addDeclarationPages) of each header among paths that parseAhead would take. Each
    // is parsed for its names and freed at once, but for the models of the first few
    // header inputs, kept for takeParsed; the run then goes on as without. With threads
    // the reader parses headers beside the caller's thread, and the names are the same.
    void collectDeclarationPages(const QStringList &paths, bool keepMessages, PageNames &pages);
    // The header that parseAhead or collectDeclarationPages began for path, once parsed
    // and prepared; null when none was begun for it.
    std::unique_ptr<ParsedHeader> takeParsed(const QString &path);
    // Frees a header that takeParsed gave, on the thread that parsed it.
    void release(std::unique_ptr<ParsedHeader> header);

    // Hands a page to the writer (and to the site, when there is one and indexed).
    void write(OutputPage &&page, const QString &input, bool manual, bool indexed = true);
    // Waits until every page handed over is written; gives their outcomes in order up to
    // and including the first failure, after which no page is written.
    std::vector<PageOutcome> endInput();

    // Runs job on the site once the pages handed over before it are read into it.
    void index(std::function<void(Site &)> job);

    // Waits for every stage's work: the site is then the caller's to write.
    void finish();

private:
    struct WriterItem {
        OutputPage page;
        std::promise<std::vector<PageOutcome>> *inputEnd = nullptr; // set on an input's end
    };
    void handle(WriterItem &item);

    const bool threaded_;
    Site *const site_;
    QString parsing_; // the header being parsed ahead; empty when none
    std::future<std::unique_ptr<ParsedHeader>> parsed_;
    // The models collectDeclarationPages kept, in input order, up to the next input's.
    std::deque<std::unique_ptr<ParsedHeader>> first_;
    // Those of them parsed on the caller's thread, until released.
    std::vector<const ParsedHeader *> parsedHere_;
    // The writer's own, used on its thread alone.
    std::vector<PageOutcome> outcomes_;
    bool failed_ = false;
    QByteArray bytes_; // the page being written
    // Destroyed first: each stops before what it uses goes.
    Stage<std::function<void()>> reader_;
    Stage<WriterItem> writer_;
    Stage<std::function<void(Site &)>> indexer_;
};
