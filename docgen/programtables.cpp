#include "docgen/programtables.h"

#include <QStringView>

#include <algorithm>

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
    // The records are put in order through pointers, then moved once: a record is four
    // fields, and a merge sort moves each of them a dozen times. Stable, so that of the
    // records of one name the last registered stays last.
    std::vector<EntryRecord *> order;
    order.reserve(records_.size());
    for (EntryRecord &record : records_)
        order.push_back(&record);
    std::stable_sort(order.begin(), order.end(), [](const EntryRecord *a, const EntryRecord *b) {
        return QStringView(a->name).compare(QStringView(b->name)) < 0;
    });
    std::vector<EntryRecord> sorted;
    sorted.reserve(order.size());
    for (auto at = order.begin(); at != order.end(); ++at) {
        const auto next = at + 1;
        if (next != order.end() && (*next)->name == (*at)->name)
            continue; // a later record of the same name stands for it
        sorted.push_back(std::move(**at));
    }
    records_ = std::move(sorted);
    ordered_ = true;
    return records_;
}

ProgramTables &programTables() {
    static ProgramTables tables;
    return tables;
}
