#include "docgen/preparedahead.h"

#include <algorithm>
#include <system_error>

namespace {

// How far the thread may prepare ahead of the pages: far enough that the pages do not
// catch up with it while it waits to be woken, few enough that what waits stays small.
constexpr size_t mostAhead = 256;

} // namespace

PreparedAhead::PreparedAhead() : window_(mostAhead) {}

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
    while (!window_.stopped()) {
        // Declarations the pages have gone past were prepared in their turn.
        i = std::max(i, window_.taken());
        if (i >= slots_.size())
            break;
        if (window_.waitWhileAhead(i))
            continue; // looked at again: the pages have moved on
        slots_[i].prepared = prepareDeclaration(*slots_[i].entity);
        prepared_.store(++i, std::memory_order_release);
    }
}

PreparedAhead::~PreparedAhead() {
    window_.stop();
    if (thread_.joinable())
        thread_.join();
}

bool PreparedAhead::take(const SourceBrowserObject &entity, PreparedDeclaration &out) {
    // Declarations the pages pass over (excluded by name) are skipped.
    size_t at = window_.taken();
    while (at < slots_.size() && slots_[at].entity != &entity)
        ++at;
    if (at == slots_.size())
        return false;
    window_.take(at + 1);
    if (at >= prepared_.load(std::memory_order_acquire))
        return false;
    out = std::move(slots_[at].prepared);
    return true;
}
