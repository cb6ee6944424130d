#include "docgen/preparedahead.h"

#include <algorithm>
#include <system_error>

std::unique_ptr<PreparedAhead>
PreparedAhead::start(const std::vector<const SourceBrowserObject *> &documented) {
    if (documented.empty())
        return nullptr;
    std::unique_ptr<PreparedAhead> ahead(new PreparedAhead);
    ahead->slots_.reserve(documented.size());
    for (const SourceBrowserObject *entity : documented)
        ahead->slots_.push_back(Slot{entity, {}});
    try {
        ahead->thread_ = std::thread([raw = ahead.get()] {
            for (size_t i = 0; i < raw->slots_.size() && !raw->stopping_; ++i) {
                // Declarations the pages have gone past were prepared in their turn.
                i = std::max(i, raw->next_.load(std::memory_order_relaxed));
                if (i >= raw->slots_.size())
                    break;
                raw->slots_[i].prepared = prepareDeclaration(*raw->slots_[i].entity);
                raw->prepared_.store(i + 1, std::memory_order_release);
            }
        });
    } catch (const std::system_error &) {
        return nullptr;
    }
    return ahead;
}

PreparedAhead::~PreparedAhead() {
    stopping_ = true;
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
    next_.store(at + 1, std::memory_order_relaxed);
    if (at >= prepared_.load(std::memory_order_acquire))
        return false;
    out = std::move(slots_[at].prepared);
    return true;
}
