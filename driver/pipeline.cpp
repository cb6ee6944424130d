#include "driver/pipeline.h"

#include "docgen/pagetemplate.h"
#include "driver/pagewriter.h"
#include "site/site.h"

#include <QFileInfo>

namespace {

// The writer and the site hold at most this many pages waiting, and are woken for a
// batch of them at a time.
constexpr std::size_t pagesWaiting = 256;
constexpr std::size_t pagesAtATime = 64;

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
bool parsedEarly(const QString &path) {
    const QFileInfo info(path);
    return info.completeSuffix() == QLatin1String("h") && info.isFile();
}

} // namespace

void Pipeline::parseFirst(const QStringList &paths, bool keepMessages,
                          const std::function<void(const ParsedHeader &)> &visit) {
    parsedFirst_ = true;
    QStringList headers;
    for (const QString &path : paths) {
        if (parsedEarly(path))
            headers.append(path);
    }
    // Every other header goes to the reader; the rest are parsed here meanwhile.
    std::vector<std::future<std::unique_ptr<ParsedHeader>>> onReader;
    if (threaded_) {
        for (qsizetype i = 1; i < headers.size(); i += 2) {
            auto promise = std::make_shared<std::promise<std::unique_ptr<ParsedHeader>>>();
            onReader.push_back(promise->get_future());
            reader_.push(
                [promise, path = headers.at(i), keepMessages] {
                    try {
                        promise->set_value(
                            std::make_unique<ParsedHeader>(parseHeader(path, keepMessages)));
                    } catch (...) {
                        promise->set_exception(std::current_exception());
                    }
                },
                true);
        }
    }
    for (qsizetype i = 0; i < headers.size(); ++i) {
        if (threaded_ && i % 2 == 1)
            continue;
        firstParsed_.push_back(
            std::make_unique<ParsedHeader>(parseHeader(headers.at(i), keepMessages)));
        parsedHere_.insert(firstParsed_.back().get());
        if (threaded_ && size_t(i / 2) < onReader.size()) {
            // In input order: the reader's header after this one comes next.
            firstParsed_.push_back(onReader[size_t(i / 2)].get());
        }
    }
    for (const std::unique_ptr<ParsedHeader> &header : firstParsed_)
        visit(*header);
}

void Pipeline::parseAhead(const QString &path, bool keepMessages) {
    if (!threaded_ || parsedFirst_)
        return;
    if (!parsedEarly(path))
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
    if (!firstParsed_.empty()) {
        if (firstParsed_.front()->path != path)
            return nullptr;
        std::unique_ptr<ParsedHeader> header = std::move(firstParsed_.front());
        firstParsed_.pop_front();
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
    // One parsed on this thread is freed here.
    if (parsedHere_.erase(header.get()) > 0)
        return;
    // Held by a shared pointer, as a function is copied; freed where the job runs.
    reader_.push(
        [held = std::shared_ptr<ParsedHeader>(std::move(header))]() mutable { held.reset(); });
}

void Pipeline::write(OutputPage &&page, const QString &input, bool manual) {
    if (site_)
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
    QByteArray error = writePage(item.page.fileName, bytes_);
    failed_ = !error.isEmpty();
    outcomes_.push_back(PageOutcome{std::move(item.page.fileName), std::move(error)});
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
