#include "driver/headerprefetch.h"

#include "common/corespread.h"
#include "docgen/diagnostics.h"
#include "driver/interrupt.h"

#include <QFileInfo>

#include <system_error>

namespace {

// Waits for a parse under way, the calling thread's core left to it.
void await(const std::future<ParsedHeader> &parse) {
    if (parse.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        return;
    CoreSpread::instance().waiting();
    parse.wait();
    CoreSpread::instance().working();
}

} // namespace

HeaderPrefetch::~HeaderPrefetch() {
    if (parse_.valid())
        await(parse_);
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
    CoreSpread &spread = CoreSpread::instance();
    spread.working();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        CoreSpread::wait(hasTask_, lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) {
            spread.waiting();
            return; // stopping, with everything sent done
        }
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        task = nullptr; // what it holds goes on this thread too
        lock.lock();
    }
}

bool HeaderPrefetch::startThread() {
    if (thread_.joinable())
        return true;
    try {
        thread_ = std::thread([this] { runThreadBody([this] { run(); }); });
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

bool HeaderPrefetch::send(std::function<void()> &work) {
    if (!startThread())
        return false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(work));
    }
    hasTask_.notify_one();
    return true;
}

void HeaderPrefetch::start(const QString &path) {
    const QFileInfo info(path);
    if (info.completeSuffix() != QLatin1String("h") || !info.isFile())
        return;
    if (parse_.valid())
        await(parse_);
    path_.clear();
    // Whether warnings are on is settled before the first input, so it is read here.
    // Shared, as a function is copied.
    auto parse = std::make_shared<std::packaged_task<ParsedHeader()>>(
        [path, keepMessages = diagnostics().enabled()] { return parseHeader(path, keepMessages); });
    std::future<ParsedHeader> result = parse->get_future();
    std::function<void()> task = [parse] { (*parse)(); };
    if (!send(task))
        return; // no thread to be had: the header is parsed in its turn instead
    parse_ = std::move(result);
    path_ = path;
}

std::unique_ptr<ParsedHeader> HeaderPrefetch::take(const QString &path) {
    if (!parse_.valid() || path != path_)
        return nullptr;
    path_.clear();
    await(parse_);
    return std::make_unique<ParsedHeader>(parse_.get());
}
