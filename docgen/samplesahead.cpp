#include "docgen/samplesahead.h"

#include "common/findeither.h"

#include <QStringView>

#include <algorithm>
#include <system_error>

namespace {

// Fewer samples than this are coloured in their turn: a thread costs more than it saves.
constexpr size_t fewestSamples = 16;
// How far ahead of the interpreter the thread may colour.
constexpr size_t mostAhead = 64;

constexpr char codeCommand[] = "\\code{";
constexpr char endCode[] = "\\endcode";

} // namespace

std::unique_ptr<SamplesAhead> SamplesAhead::start(MarkupCursor begin, MarkupCursor end) {
    const char16_t *const textEnd = reinterpret_cast<const char16_t *>(end);
    const auto next = [&](MarkupCursor from) {
        return reinterpret_cast<MarkupCursor>(
            findText(reinterpret_cast<const char16_t *>(from), textEnd, codeCommand));
    };
    // Most texts (a declaration's description) hold no sample at all.
    MarkupCursor command = next(begin);
    if (command == end)
        return nullptr;
    std::unique_ptr<SamplesAhead> ahead(new SamplesAhead);
    // The samples as the code command reads them: its language in braces, then the text
    // from the next line up to "\endcode" (or the end). A sample's text holds no command,
    // so the next one is looked for after it.
    while (command != end) {
        MarkupCursor cursor = command + sizeof codeCommand - 2; // at the brace
        QString language = readBracedOrWord(cursor, end);
        skipToBlockText(cursor);
        const QChar *const sampleEnd = reinterpret_cast<MarkupCursor>(
            findText(reinterpret_cast<const char16_t *>(cursor), textEnd, endCode));
        ahead->samples_.push_back(Sample{cursor, sampleEnd, std::move(language), {}});
        if (sampleEnd == end)
            break;
        command = next(sampleEnd + sizeof endCode - 1);
    }
    if (ahead->samples_.size() < fewestSamples)
        return nullptr;
    try {
        ahead->thread_ = std::thread([raw = ahead.get()] { raw->run(); });
    } catch (const std::system_error &) {
        return nullptr;
    }
    return ahead;
}

SamplesAhead::~SamplesAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    room_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void SamplesAhead::run() {
    for (size_t i = 0; i < samples_.size(); ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (i >= taken_ + mostAhead) {
                // Far enough ahead: it waits until the interpreter has taken half of what
                // waits, so that it is woken once a half window and not once a sample.
                wakeAt_ = i - mostAhead / 2;
                waiting_ = true;
                room_.wait(lock, [&] { return stopping_ || taken_ >= wakeAt_; });
                waiting_ = false;
            }
            if (stopping_)
                return;
            // Samples the interpreter has gone past, coloured in their turn, are skipped.
            i = std::max<size_t>(i, taken_);
            if (i >= samples_.size())
                return;
        }
        Sample &sample = samples_[i];
        sample.coloured = colourAhead(QStringView(sample.start, sample.end), sample.language);
        coloured_.store(i + 1, std::memory_order_release);
    }
}

bool SamplesAhead::take(const QChar *start, const QChar *end, const QString &language,
                        QString &out) {
    // Samples the interpreter has gone past were no samples of its own.
    size_t next = taken_.load(std::memory_order_relaxed);
    while (next < samples_.size() && samples_[next].start < start)
        ++next;
    const bool found = next < samples_.size() && samples_[next].start == start &&
                       samples_[next].end == end && samples_[next].language == language;
    const bool ready = found && next < coloured_.load(std::memory_order_acquire);
    bool taken = false;
    if (ready) {
        taken = appendColouredAhead(out, samples_[next].coloured, language);
        samples_[next].coloured = ColouredAhead(); // its room goes back now
    }
    if (found)
        ++next;
    bool wake;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        taken_.store(next, std::memory_order_relaxed);
        wake = waiting_ && next >= wakeAt_;
    }
    if (wake)
        room_.notify_one();
    return taken;
}
