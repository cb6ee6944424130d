#pragma once

#include "docgen/aheadworker.h"
#include "docgen/outputpage.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Writes pages on a thread of its own, in the order in which they are queued, while the
// pages after them are still being made. After the first page that cannot be written
// it writes no more: the pages queued after it are dropped, as a run that stops there
// would never have reached them. While it waits for pages it runs the pieces of the
// work attached to it (AheadWorker): on two cores the page thread, the writer and a
// third thread would otherwise share them, and each one that sleeps leaves a core idle.
class WriterThread : public AheadWorker {
public:
    // At most capacity pages wait: queue() blocks while the writer catches up, so memory
    // stays bounded however many pages an input makes. The writer wakes up for batch
    // pages at a time (or at finish()): waking it for every page would cost more in
    // switching threads than writing the page does.
    explicit WriterThread(std::size_t capacity = 256, std::size_t batch = 64);
    ~WriterThread() override;
    WriterThread(const WriterThread &) = delete;
    WriterThread &operator=(const WriterThread &) = delete;

    void queue(OutputPage &&page);

    // One queued page: its name and, when it failed, the error (as writePage gives it).
    struct Outcome {
        QString fileName;
        QByteArray error;
    };
    // Waits until every queued page is handled and hands back the outcomes in queue
    // order up to and including the first failure; the writer is then ready for more.
    std::vector<Outcome> finish();

    bool attach(AheadWork *work) override;
    void detach(AheadWork *work) override;
    void wake() override;

private:
    using Job = OutputPage;
    void run();

    const std::size_t capacity_;
    const std::size_t batch_;
    std::mutex mutex_;
    std::condition_variable hasJob_;  // the writer waits here for work
    std::condition_variable hasRoom_; // the producer, for room or for the end of work
    std::deque<Job> jobs_;
    std::vector<Outcome> outcomes_;
    QByteArray bytes_; // the page being written; only the writer's thread uses it
    bool failed_ = false;
    bool busy_ = false;      // jobs taken off the queue are being written
    bool finishing_ = false; // finish() waits: the writer takes what there is
    bool stopping_ = false;
    AheadWork *ahead_ = nullptr; // the attached work
    bool aheadReady_ = false;    // it may have a piece to do
    bool aheadRunning_ = false;  // a piece of it runs outside the lock
    std::thread thread_;
};
