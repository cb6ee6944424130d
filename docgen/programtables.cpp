#include "docgen/programtables.h"

#include <algorithm>
#include <string_view>

bool OrderedNameSet::append(const QString &name) {
    if (!index_.insert(name))
        return false;
    names_.append(name);
    return true;
}

void OrderedNameSet::clear() {
    names_.clear();
    index_.clear();
}

void EntryTable::insert(EntryRecord record) {
    records_.push_back(std::move(record));
    ordered_ = records_.size() < 2;
}

void EntryTable::clear() {
    records_.clear();
    ordered_ = true;
}

const std::vector<EntryRecord> &EntryTable::inNameOrder() const {
    if (ordered_)
        return records_;
    const auto name = [](const EntryRecord &record) {
        return std::u16string_view(reinterpret_cast<const char16_t *>(record.name.constData()),
                                   size_t(record.name.size()));
    };
    // Stable, so that of the records of one name the last registered stays last.
    std::stable_sort(records_.begin(), records_.end(),
                     [&](const EntryRecord &a, const EntryRecord &b) { return name(a) < name(b); });
    auto kept = records_.begin();
    for (auto at = records_.begin(); at != records_.end(); ++at) {
        const auto next = at + 1;
        if (next != records_.end() && name(*next) == name(*at))
            continue; // a later record of the same name stands for it
        if (kept != at)
            *kept = std::move(*at);
        ++kept;
    }
    records_.erase(kept, records_.end());
    ordered_ = true;
    return records_;
}

ProgramTables &programTables() {
    static ProgramTables tables;
    return tables;
}
