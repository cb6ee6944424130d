#include "driver/prune.h"

#include "driver/filesystem.h"
#include "driver/hexception.h"
#include "driver/pagewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String manifestName(".quillgen-pages");

// The entries of a manifest: relative, clean names that stay inside its folder. Any
// other line (a comment, or one edited to point elsewhere) is passed over.
QStringList readManifest(const QString &fileName) {
    QFile file(fileName);
    QStringList entries;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString entry = QString::fromUtf8(line);
        if (entry.startsWith(u'/') || QDir::cleanPath(entry) != entry ||
            entry == QLatin1String("..") || entry.startsWith(QLatin1String("../")) ||
            entry == manifestName)
            continue;
        entries.append(entry);
    }
    return entries;
}

// Deletes path when it is a regular file (a link or folder of that name is the user's),
// then the folders it leaves empty, up to top. False when a file is there still.
bool deleteStale(const QString &path, const QString &top) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0)
        return true;
    if (!S_ISREG(status.st_mode) || ::unlink(name.constData()) != 0)
        return false;
    for (QString folder = QFileInfo(path).path();
         folder.size() > top.size() && folder.startsWith(top); folder = QFileInfo(folder).path()) {
        if (::rmdir(QFile::encodeName(folder).constData()) != 0)
            break;
    }
    return true;
}

} // namespace

bool Prune::requested() {
    const QByteArray value = qgetenv("QUILLGEN_PRUNE");
    if (value.isEmpty() || value == "0")
        return false;
    if (value == "1")
        return true;
    throw HException("QUILLGEN_PRUNE: unknown value '" + value + "' (expected 1, 0, or unset)");
}

Prune::Prune(const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString path = absoluteCleanPath(folder);
        if (std::none_of(folders_.begin(), folders_.end(),
                         [&path](const Folder &f) { return f.path == path; }))
            folders_.append(Folder{path, {}});
    }
}

void Prune::written(const QString &fileName) {
    const QString path = absoluteCleanPath(fileName);
    writtenPaths_.insert(path);
    Folder *innermost = nullptr;
    for (Folder &folder : folders_) {
        const bool holds = folder.path == QLatin1String("/")
                               ? path.size() > 1
                               : path.startsWith(folder.path) && path.size() > folder.path.size() &&
                                     path.at(folder.path.size()) == u'/';
        if (holds && (!innermost || folder.path.size() > innermost->path.size()))
            innermost = &folder;
    }
    if (innermost)
        innermost->written.insert(
            path.mid(innermost->path.size() + (innermost->path.endsWith(u'/') ? 0 : 1)));
}

QByteArray Prune::finish(QStringList &deleted) {
    for (Folder &folder : folders_) {
        const QString prefix = folder.path.endsWith(u'/') ? folder.path : folder.path + u'/';
        const QString manifest = prefix + manifestName;
        QSet<QString> kept = folder.written;
        for (const QString &entry : readManifest(manifest)) {
            const QString path = prefix + entry;
            if (folder.written.contains(entry) || writtenPaths_.contains(path))
                continue;
            if (deleteStale(path, folder.path))
                deleted.append(path);
            else
                kept.insert(entry); // tried again by the next run
        }
        QStringList names(kept.begin(), kept.end());
        if (names.isEmpty() && !QFileInfo::exists(manifest))
            continue; // a folder the run never wrote to
        names.sort();
        QByteArray text =
            "# The files that quillgen wrote here in its last run with QUILLGEN_PRUNE=1;\n"
            "# the next such run deletes those of them that it does not write.\n";
        for (const QString &name : names)
            text += name.toUtf8() + '\n';
        const QByteArray error = writePage(manifest, text);
        if (!error.isEmpty())
            return error;
    }
    return QByteArray();
}
