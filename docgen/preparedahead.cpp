#include "docgen/preparedahead.h"

#include "common/brieflock.h"

#include <algorithm>
#include <system_error>

namespace {

// How far the thread may prepare ahead of the pages: far enough that the pages do not
// catch up with it while it waits to be woken, few enough that what waits stays small.
constexpr size_t mostAhead = 256;

} // namespace

std::unique_ptr<PreparedAhead>
PreparedAhead::start(const std::vector<const SourceBrowserObject *> &documented) {
    if (documented.empty())
        return nullptr;
    std::unique_ptr<PreparedAhead> ahead(new PreparedAhead);
    ahead->slots_.reserve(documented.size());
    for (const SourceBrowserObject *entity : documented)
        ahead->slots_.push_back(Slot{entity, {}});
    try {
        ahead->thread_ = std::thread([raw = ahead.get()] { raw->run(); });
    } catch (const std::system_error &) {
        return nullptr;
    }
    return ahead;
}

void PreparedAhead::run() {
    size_t i = 0;
    while (!stopping_) {
        // Declarations the pages have gone past were prepared in their turn.
        i = std::max(i, next_.load());
        if (i >= slots_.size())
            break;
        if (i >= next_.load() + mostAhead) {
            // Far enough ahead: it waits until the pages have taken half of what waits,
            // so that it is woken once a half window and not once a page.
            std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
            wakeAt_ = i - mostAhead / 2;
            waiting_ = true;
            room_.wait(lock, [this] { return stopping_ || next_.load() >= wakeAt_.load(); });
            waiting_ = false;
            continue;
        }
        slots_[i].prepared = prepareDeclaration(*slots_[i].entity);
        prepared_.store(++i, std::memory_order_release);
    }
}

PreparedAhead::~PreparedAhead() {
    {
        const std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
        stopping_ = true;
    }
    room_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

bool PreparedAhead::take(const SourceBrowserObject &entity, PreparedDeclaration &out) {
    // Declarations the pages pass over (excluded by name) are skipped.
    size_t at = next_.load(std::memory_order_relaxed);
    while (at < slots_.size() && slots_[at].entity != &entity)
        ++at;
    if (at == slots_.size())
        return false;
    // Stored before waiting_ is read, as the thread sets waiting_ before it reads next_
    // again: one of the two sees the other's, and no wake-up is lost.
    next_.store(at + 1);
    if (waiting_.load() && at + 1 >= wakeAt_.load()) {
        // Taken and let go: the thread is then either waiting or yet to read next_.
        lockBriefly(mutex_);
        room_.notify_one();
    }
    if (at >= prepared_.load(std::memory_order_acquire))
        return false;
    out = std::move(slots_[at].prepared);
    return true;
}
