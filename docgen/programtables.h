#pragma once

#include "common/wordset.h"

#include <QString>
#include <QStringList>

#include <vector>

// A list of names without duplicates, kept in order of first insertion, with a hash
// index so that membership tests do not scan the list.
class OrderedNameSet {
public:
    // Appends name unless it is already present; returns whether it was appended.
    bool append(const QString &name);
    bool contains(const QString &name) const { return index_.contains(name); }
    // Where name stands in names(); -1 when it is not there.
    qsizetype indexOf(QStringView name) const { return index_.indexOf(name); }
    const QStringList &names() const { return names_; }
    bool isEmpty() const { return names_.isEmpty(); }
    void clear();

private:
    QStringList names_;
    WordSet index_;
};

// A documented entry registered for the summary table of a header's index page.
struct EntryRecord {
    QString name;
    QString group;
    QString brief;
    int kind = 0; // the declaration's SourceBrowserKind
};

// The entries registered for one input, read in the order of their names, the last
// registered for a name standing for it. They are kept as they come and put in order
// once, when first read: a sorted tree cost a node and a dozen string comparisons
// through Qt for each of the thousands of entries of a header.
class EntryTable {
public:
    void insert(EntryRecord record);
    void clear();
    // The entries by name, in the order of the names' code units.
    const std::vector<EntryRecord> &inNameOrder() const;

private:
    mutable std::vector<EntryRecord> records_;
    mutable bool ordered_ = true;
};

inline const char *const unassignedGroup = "*** UNASSIGNED GROUP ***";

// The tables that outlive one input file. They live together here so that what
// carries over from one input to the next is visible in one place.
struct ProgramTables {
    // Documented entries by name; emptied at the start of every input file.
    EntryTable entries;
    // Groups in order of first use; emptied at the start of every input file.
    OrderedNameSet groupList;
    // Order of the groups in summary tables; never reset, so groups named by an
    // earlier input keep their place for later ones.
    OrderedNameSet groupOrder;
    // Element name of the next paragraph; set by the "style" command and back to
    // "p" whenever a paragraph closes.
    QString paragraphTag = QStringLiteral("p");
};

ProgramTables &programTables();
