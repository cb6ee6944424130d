#include "driver/headerprefetch.h"

#include "docgen/diagnostics.h"

#include <QFileInfo>

#include <system_error>

HeaderPrefetch::~HeaderPrefetch() {
    if (parse_.valid())
        parse_.wait();
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    hasTask_.notify_one();
    thread_.join();
}

void HeaderPrefetch::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        hasTask_.wait(lock, [this] { return stopping_ || task_.valid(); });
        if (!task_.valid())
            return;
        std::packaged_task<ParsedHeader()> task = std::move(task_);
        lock.unlock();
        task();
        lock.lock();
    }
}

void HeaderPrefetch::start(const QString &path) {
    const QFileInfo info(path);
    if (info.completeSuffix() != QLatin1String("h") || !info.isFile())
        return;
    if (parse_.valid())
        parse_.wait();
    path_.clear();
    try {
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    } catch (const std::system_error &) {
        return; // no thread to be had: the header is parsed in its turn instead
    }
    // Whether warnings are on is settled before the first input, so it is read here.
    std::packaged_task<ParsedHeader()> task(
        [path, keepMessages = diagnostics().enabled()] { return parseHeader(path, keepMessages); });
    parse_ = task.get_future();
    path_ = path;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        task_ = std::move(task);
    }
    hasTask_.notify_one();
}

std::unique_ptr<ParsedHeader> HeaderPrefetch::take(const QString &path) {
    if (!parse_.valid() || path != path_)
        return nullptr;
    path_.clear();
    return std::make_unique<ParsedHeader>(parse_.get());
}
