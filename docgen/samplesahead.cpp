#include "docgen/samplesahead.h"

#include "common/brieflock.h"
#include "common/findeither.h"

#include <QStringView>

#include <algorithm>

namespace {

// Fewer samples than this are coloured in their turn: handing them to the worker costs
// more than it saves.
constexpr size_t fewestSamples = 16;
// How far ahead of the interpreter the worker may colour.
constexpr size_t mostAhead = 64;

constexpr char codeCommand[] = "\\code{";
constexpr char endCode[] = "\\endcode";

// Finds the next sample from scan on, as the code command reads it: its language in
// braces, then the text from the next line up to "\endcode" (or the end). A sample's
// text holds no command, so scan moves on past its end. False when there is none.
bool nextSample(MarkupCursor &scan, MarkupCursor end, const QChar *&start, const QChar *&sampleEnd,
                QString &language) {
    const char16_t *const textEnd = reinterpret_cast<const char16_t *>(end);
    const MarkupCursor command = reinterpret_cast<MarkupCursor>(
        findText(reinterpret_cast<const char16_t *>(scan), textEnd, codeCommand));
    if (command == end) {
        scan = end;
        return false;
    }
    MarkupCursor cursor = command + sizeof codeCommand - 2; // at the brace
    language = readBracedOrWord(cursor, end);
    skipToBlockText(cursor);
    start = cursor;
    sampleEnd = reinterpret_cast<MarkupCursor>(
        findText(reinterpret_cast<const char16_t *>(cursor), textEnd, endCode));
    scan = sampleEnd == end ? end : sampleEnd + sizeof endCode - 1;
    return true;
}

} // namespace

std::vector<ColouredSample> colourSamples(const QString &text) {
    std::vector<ColouredSample> samples;
    MarkupCursor scan = text.constData();
    const MarkupCursor end = scan + text.size();
    const QChar *start;
    const QChar *sampleEnd;
    QString language;
    while (nextSample(scan, end, start, sampleEnd, language)) {
        ColouredAhead coloured = colourAhead(QStringView(start, sampleEnd), language);
        samples.push_back(ColouredSample{start - text.constData(), sampleEnd - text.constData(),
                                         std::move(language), std::move(coloured)});
    }
    return samples;
}

bool SamplesAhead::findSamples(std::deque<Sample> &found, size_t count) {
    const QChar *start;
    const QChar *sampleEnd;
    QString language;
    while (found.size() < count) {
        if (!nextSample(scan_, end_, start, sampleEnd, language))
            return true;
        found.push_back(Sample{start, sampleEnd, std::move(language), {}});
    }
    return scan_ == end_;
}

std::unique_ptr<SamplesAhead> SamplesAhead::ready(const QString &text,
                                                  std::vector<ColouredSample> &&samples) {
    if (samples.empty())
        return nullptr;
    const MarkupCursor begin = text.constData();
    std::unique_ptr<SamplesAhead> ahead(
        new SamplesAhead(begin + text.size(), begin + text.size(), nullptr));
    for (ColouredSample &sample : samples)
        ahead->samples_.push_back(Sample{begin + sample.start, begin + sample.end,
                                         std::move(sample.language), std::move(sample.coloured)});
    ahead->allFound_ = true;
    ahead->coloured_ = ahead->samples_.size();
    return ahead;
}

std::unique_ptr<SamplesAhead> SamplesAhead::start(MarkupCursor begin, MarkupCursor end,
                                                  AheadWorker *worker) {
    if (!worker)
        return nullptr;
    // Most texts (a declaration's description) hold no sample at all. The others are
    // searched here only until they are known to hold enough samples for the worker,
    // which then finds the rest.
    const MarkupCursor first = reinterpret_cast<MarkupCursor>(
        findText(reinterpret_cast<const char16_t *>(begin), reinterpret_cast<const char16_t *>(end),
                 codeCommand));
    if (first == end)
        return nullptr;
    std::unique_ptr<SamplesAhead> ahead(new SamplesAhead(first, end, worker));
    ahead->allFound_ = ahead->findSamples(ahead->samples_, fewestSamples);
    if (ahead->samples_.size() < fewestSamples || !worker->attach(ahead.get()))
        return nullptr;
    return ahead;
}

SamplesAhead::SamplesAhead(MarkupCursor begin, MarkupCursor end, AheadWorker *worker)
    : scan_(begin), end_(end), window_(mostAhead, worker), worker_(worker) {}

SamplesAhead::~SamplesAhead() {
    if (worker_)
        worker_->detach(this);
}

bool SamplesAhead::runOne() {
    // Found a batch at a time ahead of the colouring, so that the interpreter finds the
    // first ones coloured without waiting for all of a long text to be searched.
    if (next_ == samples_.size() && !allFound_) {
        std::deque<Sample> found;
        const bool ended = findSamples(found, mostAhead);
        // Only the worker changes the list of samples: the lock is taken to add a
        // batch, not once a sample.
        const std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
        samples_.insert(samples_.end(), std::make_move_iterator(found.begin()),
                        std::make_move_iterator(found.end()));
        allFound_ = ended;
        return true;
    }
    if (window_.aheadOf(next_))
        return false;
    // Samples the interpreter has gone past, coloured in their turn, are skipped.
    next_ = std::max(next_, window_.taken());
    if (next_ >= samples_.size())
        return !allFound_; // the next batch is found first
    Sample &sample = samples_[next_];
    sample.coloured = colourAhead(QStringView(sample.start, sample.end), sample.language);
    coloured_.store(++next_, std::memory_order_release);
    return true;
}

bool SamplesAhead::take(const QChar *start, const QChar *end, const QString &language,
                        QString &out) {
    ColouredAhead coloured;
    bool ready;
    size_t next;
    {
        // The worker may be adding samples: they are read under the lock.
        const std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
        // Samples the interpreter has gone past were no samples of its own.
        next = window_.taken();
        while (next < samples_.size() && samples_[next].start < start)
            ++next;
        const bool found = next < samples_.size() && samples_[next].start == start &&
                           samples_[next].end == end && samples_[next].language == language;
        ready = found && next < coloured_.load(std::memory_order_acquire);
        if (ready)
            coloured = std::move(samples_[next].coloured); // its room goes back after use
        if (found)
            ++next;
    }
    window_.take(next);
    return ready && appendColouredAhead(out, coloured, language);
}
