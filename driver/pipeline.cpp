#include "driver/pipeline.h"

#include "docgen/pagetemplate.h"
#include "driver/pagewriter.h"
#include "site/site.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <atomic>

namespace {

// The writer and the site hold at most this many pages waiting, and are woken for a
// batch of them at a time.
constexpr std::size_t pagesWaiting = 256;
constexpr std::size_t pagesAtATime = 64;

// The models of the first headers are kept from the names collected before the first page
// to the pages that take them, while their files come to no more than this many bytes
// (a model takes about four times its header's size); the others are parsed again in
// their turn. The first header's model is kept whatever its size, as it is needed next.
constexpr qint64 keptHeaderBytes = qint64(12) << 20;

} // namespace

Pipeline::Pipeline(bool threaded, Site *site)
    : threaded_(threaded), site_(site),
      reader_([](std::function<void()> &job) { job(); }, threaded, 4, 1),
      writer_([this](WriterItem &item) { handle(item); }, threaded, pagesWaiting, pagesAtATime),
      indexer_([site](std::function<void(Site &)> &job) { job(*site); }, threaded && site,
               pagesWaiting, pagesAtATime) {}

Pipeline::~Pipeline() = default;

namespace {

// A header that may be parsed before its turn: a regular file, so that a stopped run
// never waits for a pipe or device.
bool parsedEarly(const QFileInfo &info) {
    return info.completeSuffix() == QLatin1String("h") && info.isFile();
}

} // namespace

void Pipeline::collectDeclarationPages(const QStringList &paths, bool keepMessages,
                                       PageNames &pages) {
    struct Shared {
        QStringList headers; // each once: one given twice has the same declarations
        qsizetype kept = 0;  // the first headers, whose models are kept
        bool keepMessages = false;
        std::atomic<qsizetype> next{0};
        std::vector<std::unique_ptr<ParsedHeader>> models; // of the kept headers
        PageNames pages;                                   // the reader's
    };
    auto shared = std::make_shared<Shared>();
    shared->keepMessages = keepMessages;
    QSet<QString> seen;
    bool keeping = true;
    qint64 keptBytes = 0;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!parsedEarly(info))
            continue;
        if (seen.contains(path)) {
            // The models go to the inputs in their order: none past a repeated header.
            keeping = false;
            continue;
        }
        seen.insert(path);
        shared->headers.append(path);
        keptBytes += info.size();
        if (keeping && (shared->kept == 0 || keptBytes <= keptHeaderBytes))
            ++shared->kept;
        else
            keeping = false;
    }
    shared->models.resize(size_t(shared->kept));
    // Whichever thread is free takes the next header: the kept ones first, then the rest,
    // parsed for their names alone and freed at once.
    const auto collect = [](Shared &work, PageNames &into,
                            std::vector<const ParsedHeader *> *here) {
        for (qsizetype i = work.next++; i < work.headers.size(); i = work.next++) {
            if (i >= work.kept) {
                addDeclarationPages(parseHeader(work.headers.at(i), false), into);
                continue;
            }
            auto model =
                std::make_unique<ParsedHeader>(parseHeader(work.headers.at(i), work.keepMessages));
            addDeclarationPages(*model, into);
            if (here)
                here->push_back(model.get());
            work.models[size_t(i)] = std::move(model);
        }
    };
    std::future<void> readerDone;
    if (threaded_ && shared->headers.size() > 1) {
        auto promise = std::make_shared<std::promise<void>>();
        readerDone = promise->get_future();
        reader_.push(
            [promise, shared, collect] {
                try {
                    collect(*shared, shared->pages, nullptr);
                    promise->set_value();
                } catch (...) {
                    promise->set_exception(std::current_exception());
                }
            },
            true);
    }
    collect(*shared, pages, &parsedHere_);
    if (readerDone.valid()) {
        readerDone.get();
        pages.insert(shared->pages);
    }
    for (std::unique_ptr<ParsedHeader> &model : shared->models)
        first_.push_back(std::move(model));
}

void Pipeline::parseAhead(const QString &path, bool keepMessages) {
    // While models are kept, the next header's is one of them.
    if (!threaded_ || !first_.empty())
        return;
    if (!parsedEarly(QFileInfo(path)))
        return;
    auto promise = std::make_shared<std::promise<std::unique_ptr<ParsedHeader>>>();
    parsed_ = promise->get_future();
    parsing_ = path;
    reader_.push(
        [promise, path, keepMessages] {
            try {
                promise->set_value(std::make_unique<ParsedHeader>(parseHeader(path, keepMessages)));
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
        },
        true);
}

std::unique_ptr<ParsedHeader> Pipeline::takeParsed(const QString &path) {
    if (!first_.empty()) {
        if (first_.front()->path != path)
            return nullptr;
        std::unique_ptr<ParsedHeader> header = std::move(first_.front());
        first_.pop_front();
        return header;
    }
    if (parsing_.isEmpty() || parsing_ != path)
        return nullptr;
    parsing_.clear();
    return parsed_.get();
}

void Pipeline::release(std::unique_ptr<ParsedHeader> header) {
    if (!header)
        return;
    // One that collectDeclarationPages parsed on this thread is freed here.
    const auto here = std::find(parsedHere_.begin(), parsedHere_.end(), header.get());
    if (here != parsedHere_.end()) {
        parsedHere_.erase(here);
        return;
    }
    // Held by a shared pointer, as a function is copied; freed where the job runs.
    reader_.push(
        [held = std::shared_ptr<ParsedHeader>(std::move(header))]() mutable { held.reset(); });
}

void Pipeline::write(OutputPage &&page, const QString &input, bool manual, bool indexed) {
    if (site_ && indexed)
        // The site takes the page's words while the writer writes the page; a page
        // that fails to be written stops the run before the site is written.
        indexer_.push([page, input, manual](Site &site) {
            site.addPage(page.fileName, page.title, page.words, input, manual);
        });
    writer_.push(WriterItem{std::move(page), nullptr});
}

std::vector<PageOutcome> Pipeline::endInput() {
    std::promise<std::vector<PageOutcome>> done;
    std::future<std::vector<PageOutcome>> outcomes = done.get_future();
    writer_.push(WriterItem{OutputPage(), &done}, true);
    return outcomes.get();
}

void Pipeline::handle(WriterItem &item) {
    if (item.inputEnd) {
        item.inputEnd->set_value(std::exchange(outcomes_, {}));
        return;
    }
    if (failed_)
        return;
    // The page is formed and encoded here, off the thread that makes the pages, in a
    // buffer kept from page to page.
    pageBytes(item.page, bytes_);
    bool changed = true;
    QByteArray error = writePage(item.page.fileName, bytes_, &changed);
    failed_ = !error.isEmpty();
    outcomes_.push_back(PageOutcome{std::move(item.page.fileName), std::move(error), changed});
}

void Pipeline::index(std::function<void(Site &)> job) {
    if (site_)
        indexer_.push(std::move(job));
}

void Pipeline::finish() {
    reader_.finish();
    writer_.finish();
    indexer_.finish();
}
