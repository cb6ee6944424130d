#include "docgen/preparedahead.h"

#include <algorithm>

namespace {

// How far the worker may prepare ahead of the pages: far enough that the pages do not
// catch up with it while it waits to be woken, few enough that what waits stays small.
constexpr size_t mostAhead = 256;

} // namespace

PreparedAhead::PreparedAhead(AheadWorker &worker) : window_(mostAhead, &worker), worker_(worker) {}

std::unique_ptr<PreparedAhead>
PreparedAhead::start(const std::vector<const SourceBrowserObject *> &documented,
                     AheadWorker *worker) {
    if (documented.empty() || !worker)
        return nullptr;
    std::unique_ptr<PreparedAhead> ahead(new PreparedAhead(*worker));
    ahead->slots_.reserve(documented.size());
    for (const SourceBrowserObject *entity : documented)
        ahead->slots_.push_back(Slot{entity, {}});
    if (!worker->attach(ahead.get()))
        return nullptr;
    return ahead;
}

PreparedAhead::~PreparedAhead() {
    worker_.detach(this);
}

bool PreparedAhead::runOne() {
    // Declarations the pages have gone past were prepared in their turn.
    next_ = std::max(next_, window_.taken());
    if (next_ >= slots_.size() || window_.aheadOf(next_))
        return false;
    slots_[next_].prepared = prepareDeclaration(*slots_[next_].entity);
    prepared_.store(++next_, std::memory_order_release);
    return true;
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
