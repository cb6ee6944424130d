#include "docgen/programtables.h"

bool OrderedNameSet::append(const QString &name) {
    if (index_.contains(name))
        return false;
    index_.insert(name);
    names_.append(name);
    return true;
}

void OrderedNameSet::clear() {
    names_.clear();
    index_.clear();
}

ProgramTables &programTables() {
    static ProgramTables tables;
    return tables;
}
