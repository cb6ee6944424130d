#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// A list of names without duplicates, kept in order of first insertion, with a hash
// index so that membership tests do not scan the list.
class OrderedNameSet {
public:
    // Appends name unless it is already present; returns whether it was appended.
    bool append(const QString &name);
    bool contains(const QString &name) const { return index_.contains(name); }
    const QStringList &names() const { return names_; }
    bool isEmpty() const { return names_.isEmpty(); }
    void clear();

private:
    QStringList names_;
    QSet<QString> index_;
};

// A documented entry registered for the summary table of a header's index page.
struct EntryRecord {
    QString name;
    QString group;
    QString brief;
    int kind = 0; // the declaration's SourceBrowserKind
};

inline const char *const unassignedGroup = "*** UNASSIGNED GROUP ***";

// The tables that outlive one input file. They live together here so that what
// carries over from one input to the next is visible in one place.
struct ProgramTables {
    // Documented entries by key; emptied at the start of every input file.
    QMap<QString, EntryRecord> entries;
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
