#pragma once

#include "colouring/colourcode.h"
#include "docgen/aheadwindow.h"
#include "docgen/argumentreaders.h"

#include <QString>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// A code sample of a short text coloured before the text is read: where it stands in
// the text, its language, and its HTML as colourAhead gives it.
struct ColouredSample {
    qsizetype start;
    qsizetype end;
    QString language;
    ColouredAhead coloured;
};

// The "\code{language}" samples of text, found where the code command finds them and
// coloured here, on the calling thread: a declaration's comment has its samples
// coloured where it is prepared, before its page is made.
std::vector<ColouredSample> colourSamples(const QString &text);

// The "\code{language}" samples of a long text (a manual), coloured ahead of the
// interpreter by the caller's worker between its own jobs (AheadWorker). The worker
// finds them, a batch at a time as it goes, where the code command finds them, and
// colours each ahead from the colourer's first state (see colourAhead). The code command
// takes a sample that starts and ends where its own does and has its language; it
// colours its sample itself when there is none, when the worker has not reached it yet,
// or when the colourer is in another state.
class SamplesAhead : public AheadWork {
public:
    // Starts on the text from begin up to end (its NUL) with worker, or gives none when
    // the text has too few samples to be worth it, or the worker is missing or busy.
    static std::unique_ptr<SamplesAhead> start(MarkupCursor begin, MarkupCursor end,
                                               AheadWorker *worker);
    // Hands out the samples of text that colourSamples coloured; none when there are none.
    static std::unique_ptr<SamplesAhead> ready(const QString &text,
                                               std::vector<ColouredSample> &&samples);
    // Takes the work from the worker; samples not yet coloured are dropped.
    ~SamplesAhead() override;
    SamplesAhead(const SamplesAhead &) = delete;
    SamplesAhead &operator=(const SamplesAhead &) = delete;

    // Appends the sample [start, end) of language, coloured ahead, to out and returns
    // true; returns false, appending nothing, when it cannot. Samples are asked for in
    // the order of the text.
    bool take(const QChar *start, const QChar *end, const QString &language, QString &out);

    // The worker's piece: finds the next batch of samples, or colours the next sample
    // within the window.
    bool runOne() override;

private:
    struct Sample {
        const QChar *start;
        const QChar *end;
        QString language;
        ColouredAhead coloured;
    };
    SamplesAhead(MarkupCursor begin, MarkupCursor end, AheadWorker *worker);
    // Appends to found the next samples from scan_ on, until found holds count of them
    // or the text ends; returns whether it ended.
    bool findSamples(std::deque<Sample> &found, size_t count);

    // Where the search for samples goes on; the worker's alone once it runs.
    MarkupCursor scan_;
    const MarkupCursor end_;
    // The samples found so far, which the worker colours in order. It appends to them
    // under mutex_, where the interpreter reads them; it reads them itself without.
    // A deque: appending a batch never moves the samples before it, so the lock the
    // interpreter waits on is held for the batch alone.
    std::deque<Sample> samples_;
    bool allFound_ = false;
    // Written by the worker once a sample and read by the interpreter: on a cache line
    // of its own, apart from the lock the interpreter takes once a sample.
    alignas(64) std::atomic<size_t> coloured_{0}; // samples_[0, coloured_) are coloured
    alignas(64) std::mutex mutex_;
    // The interpreter has gone past the first taken() samples; the worker stays within
    // a window of them, so that only a few coloured samples are held at a time.
    AheadWindow window_;
    AheadWorker *const worker_; // none for samples coloured before the text is read
    size_t next_ = 0;           // the worker's next sample, unless the interpreter passed it
};
