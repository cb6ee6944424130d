#include "driver/writerthread.h"

#include "common/brieflock.h"
#include "common/corespread.h"
#include "docgen/pagetemplate.h"
#include "driver/interrupt.h"
#include "driver/pagewriter.h"

#include <algorithm>

WriterThread::WriterThread(std::size_t capacity, std::size_t batch)
    : capacity_(capacity), batch_(std::min(batch, capacity)),
      thread_([this] { runThreadBody([this] { run(); }); }) {}

WriterThread::~WriterThread() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    hasJob_.notify_one();
    thread_.join();
}

void WriterThread::queue(OutputPage &&page) {
    std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
    CoreSpread::wait(hasRoom_, lock, [this] { return jobs_.size() < capacity_; });
    jobs_.push_back(std::move(page));
    if (jobs_.size() == batch_) {
        hasJob_.notify_one();
        CoreSpread::instance().working(); // now and then, while the pages come
    }
}

std::vector<WriterThread::Outcome> WriterThread::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    finishing_ = true;
    hasJob_.notify_one();
    CoreSpread::wait(hasRoom_, lock, [this] { return jobs_.empty() && !busy_; });
    finishing_ = false;
    failed_ = false;
    std::vector<Outcome> outcomes;
    outcomes.swap(outcomes_);
    return outcomes;
}

bool WriterThread::attach(AheadWork *work) {
    {
        const std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
        if (ahead_)
            return false;
        ahead_ = work;
        aheadReady_ = true;
    }
    hasJob_.notify_one();
    return true;
}

void WriterThread::detach(AheadWork *work) {
    std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
    if (ahead_ != work)
        return; // never attached
    ahead_ = nullptr;
    // A piece that runs now is one of work's.
    CoreSpread::wait(hasRoom_, lock, [this] { return !aheadRunning_; });
}

void WriterThread::wake() {
    {
        const std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
        aheadReady_ = true;
    }
    hasJob_.notify_one();
}

void WriterThread::run() {
    // Pieces of the attached work run eight at a time between looks at the queue: a few
    // microseconds each, so that pages do not wait long for the writer.
    constexpr int piecesAtATime = 8;
    CoreSpread &spread = CoreSpread::instance();
    spread.working();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        const auto pagesReady = [this] {
            return !jobs_.empty() && (stopping_ || finishing_ || jobs_.size() >= batch_);
        };
        CoreSpread::wait(hasJob_, lock,
                         [&] { return stopping_ || pagesReady() || (ahead_ && aheadReady_); });
        if (!pagesReady()) {
            if (!ahead_ || !aheadReady_) {
                spread.waiting();
                return; // stopping with nothing left
            }
            // A wake() that comes while the pieces run sets aheadReady_ again.
            aheadReady_ = false;
            aheadRunning_ = true;
            AheadWork *const work = ahead_;
            lock.unlock();
            bool more = true;
            for (int piece = 0; more && piece < piecesAtATime; ++piece)
                more = work->runOne();
            lock = lockBriefly(mutex_);
            aheadRunning_ = false;
            if (more)
                aheadReady_ = true;
            if (!ahead_)
                hasRoom_.notify_all(); // detach() waits for the piece to end
            continue;
        }
        std::deque<Job> jobs;
        jobs.swap(jobs_);
        busy_ = true;
        bool failed = failed_;
        hasRoom_.notify_one();
        lock.unlock();
        std::vector<Outcome> outcomes;
        for (Job &job : jobs) {
            if (failed)
                break;
            // The page is formed and encoded here, off the thread that makes the pages,
            // in a buffer kept from page to page.
            pageBytes(job, bytes_);
            QByteArray error = writePage(job.fileName, bytes_);
            failed = !error.isEmpty();
            outcomes.push_back(Outcome{std::move(job.fileName), std::move(error)});
        }
        jobs.clear(); // the pages' memory goes back outside the lock
        lock = lockBriefly(mutex_);
        failed_ = failed;
        outcomes_.insert(outcomes_.end(), std::make_move_iterator(outcomes.begin()),
                         std::make_move_iterator(outcomes.end()));
        busy_ = false;
        hasRoom_.notify_one();
    }
}
