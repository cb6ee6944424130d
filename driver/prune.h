#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// QUILLGEN_PRUNE=1: each output folder of the run keeps a manifest, ".quillgen-pages",
// of the files that the last run wrote under it (pages, icons, copied images). A run
// that ends with its pages written deletes what the previous manifest lists and this
// run did not write (a page whose split was renamed, say), then writes its own. A file
// that no manifest lists is never deleted, and neither is one that is not a regular file.
class Prune {
public:
    // Reads QUILLGEN_PRUNE: unset, empty or "0" is off, "1" on; anything else throws.
    static bool requested();

    // folders: the run's output folders. Each written file belongs to the innermost
    // that holds it; one outside them all is not tracked.
    explicit Prune(const QStringList &folders);

    void written(const QString &fileName);

    // Deletes the stale files and writes the manifests; deleted receives the names of
    // the files deleted. Returns an empty string or the error that stops the run.
    QByteArray finish(QStringList &deleted);

private:
    struct Folder {
        QString path;          // absolute and clean, without a trailing "/"
        QSet<QString> written; // relative to path
    };
    QList<Folder> folders_;
    QSet<QString> writtenPaths_; // absolute and clean, every written file
};
