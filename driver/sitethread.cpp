#include "driver/sitethread.h"

#include "common/brieflock.h"
#include "driver/interrupt.h"

#include <algorithm>

SiteThread::SiteThread(std::unique_ptr<Site> site, std::size_t capacity, std::size_t batch)
    : site_(std::move(site)), capacity_(capacity), batch_(std::min(batch, capacity)),
      thread_([this] { runThreadBody([this] { run(); }); }) {}

SiteThread::~SiteThread() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    hasJob_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void SiteThread::queue(std::function<void(Site &)> job) {
    std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
    hasRoom_.wait(lock, [this] { return jobs_.size() < capacity_; });
    jobs_.push_back(std::move(job));
    if (jobs_.size() == batch_)
        hasJob_.notify_one();
}

Site &SiteThread::finish() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finishing_ = true;
        hasJob_.notify_one();
        hasRoom_.wait(lock, [this] { return jobs_.empty() && !busy_; });
        stopping_ = true;
    }
    hasJob_.notify_one();
    thread_.join();
    return *site_;
}

void SiteThread::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        hasJob_.wait(lock, [this] {
            return stopping_ || (!jobs_.empty() && (finishing_ || jobs_.size() >= batch_));
        });
        if (stopping_)
            return;
        std::deque<std::function<void(Site &)>> jobs;
        jobs.swap(jobs_);
        busy_ = true;
        hasRoom_.notify_one();
        lock.unlock();
        for (std::function<void(Site &)> &job : jobs)
            job(*site_);
        jobs.clear(); // the pages' text goes back outside the lock
        lock = lockBriefly(mutex_);
        busy_ = false;
        hasRoom_.notify_one();
    }
}
