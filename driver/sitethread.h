#pragma once

#include "site/site.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Builds the reader's site on a thread of its own while the run makes its pages: the
// site's work on a page (reading its text into the index) then costs the run little
// more than handing the page over. The thread runs what it is given in the order it
// was given, so the site is the same whatever the timing.
class SiteThread {
public:
    // At most capacity jobs wait: queue() blocks while the thread catches up, so memory
    // stays bounded. The thread wakes up for batch jobs at a time (or at finish()).
    explicit SiteThread(std::unique_ptr<Site> site, std::size_t capacity = 256,
                        std::size_t batch = 64);
    // Stops the thread; jobs that have not run are dropped.
    ~SiteThread();
    SiteThread(const SiteThread &) = delete;
    SiteThread &operator=(const SiteThread &) = delete;

    // Runs job on the site once the jobs queued before it have run.
    void queue(std::function<void(Site &)> job);
    // Waits until every queued job has run and stops the thread; the site is then the
    // caller's to write.
    Site &finish();

private:
    void run();

    std::unique_ptr<Site> site_;
    const std::size_t capacity_;
    const std::size_t batch_;
    std::mutex mutex_;
    std::condition_variable hasJob_;  // the thread waits here for work
    std::condition_variable hasRoom_; // the caller, for room or for the end of work
    std::deque<std::function<void(Site &)>> jobs_;
    bool busy_ = false;      // jobs taken off the queue are running
    bool finishing_ = false; // finish() waits: the thread takes what there is
    bool stopping_ = false;
    std::thread thread_;
};
