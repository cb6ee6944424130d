#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The site's files are replaced as the pages are: each is written whole beside its
// place and renamed over it, so that a reader (or a run that stops) never meets a file
// half written; a file that already holds the same bytes is left as it is. Errors name
// the file and the reason; empty on success.

// A file written beside fileName and put in its place later, so that every file of the
// site is written before any is put in place.
class PendingFile {
public:
    explicit PendingFile(const QString &fileName) : fileName_(fileName) {}
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;
    // Writes the new bytes beside the file; nothing is written when they are its own.
    QByteArray write(const QByteArray &bytes);
    bool changed() const { return !partName_.isEmpty(); }
    // Takes the file away, so that none is there until install().
    QByteArray remove();
    QByteArray install();

private:
    QString fileName_;
    QString partName_; // the new bytes, while they wait
};

// A folder whose files are replaced as one set: the new set is built in a folder beside
// it, taking over the files whose bytes are unchanged by a hard link, and exchanged with
// the old folder in one step; the old set is removed after. Files of the old folder
// that are none of the set (names that set() does not claim) go on to the new one.
class FolderReplacement {
public:
    // claims(name): whether a file of that name belongs to the set, present or not.
    FolderReplacement(const QString &folder, bool (*claims)(const QString &name));
    ~FolderReplacement();
    FolderReplacement(const FolderReplacement &) = delete;
    FolderReplacement &operator=(const FolderReplacement &) = delete;
    QByteArray add(const QString &name, const QByteArray &bytes);
    // Whether the new set differs from the old one; known once every file is added.
    bool changed() const;
    // Puts the new set in place of the old (nothing happens when it is unchanged).
    QByteArray install();

private:
    QByteArray begin();
    QString folder_, part_;
    bool (*claims_)(const QString &name);
    bool begun_ = false;
    bool changed_ = false;
    QStringList added_;
};
