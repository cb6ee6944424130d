#include "preview/sourcewatch.h"

#include "driver/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>

SourceWatch::SourceWatch(std::function<void()> changed) : changed_(std::move(changed)) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this,
            [this](const QString &path) { check({path}); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString &folder) { check(filesInFolder_.value(folder)); });
}

SourceWatch::State SourceWatch::stateOf(const QString &path) {
    State state;
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return state;
    state.exists = true;
    state.device = status.st_dev;
    state.inode = status.st_ino;
    state.size = status.st_size;
    state.seconds = status.st_mtim.tv_sec;
    state.nanoseconds = status.st_mtim.tv_nsec;
    return state;
}

void SourceWatch::beforeRender() {
    before_.clear();
    for (auto known = states_.cbegin(); known != states_.cend(); ++known)
        before_.insert(known.key(), stateOf(known.key()));
}

void SourceWatch::watch(const QStringList &read, const QStringList &missing) {
    bool differs = false;
    QHash<QString, State> states;
    QHash<QString, QStringList> filesInFolder;
    QStringList files;
    for (const QStringList *list : {&read, &missing}) {
        for (const QString &name : *list) {
            const QString path = absoluteCleanPath(name);
            if (states.contains(path))
                continue;
            const State state = stateOf(path);
            // What the render read is what the file was before it began: a save made
            // since then is a change still to render.
            const auto before = before_.constFind(path);
            states.insert(path, before == before_.cend() ? state : *before);
            if (before != before_.cend() && !(*before == state))
                differs = true;
            if (state.exists)
                files.append(path);
            filesInFolder[QFileInfo(path).path()].append(path);
        }
    }
    // What is watched already stays: removing and adding it again would miss a change
    // that comes in between.
    const QStringList watchedFiles = watcher_.files();
    const QStringList watchedFolders = watcher_.directories();
    const QSet<QString> oldFiles(watchedFiles.cbegin(), watchedFiles.cend());
    const QSet<QString> oldFolders(watchedFolders.cbegin(), watchedFolders.cend());
    QStringList gone;
    for (const QString &path : oldFiles)
        if (!states.contains(path))
            gone.append(path);
    for (const QString &folder : oldFolders)
        if (!filesInFolder.contains(folder))
            gone.append(folder);
    if (!gone.isEmpty())
        watcher_.removePaths(gone);
    QStringList added;
    for (const QString &path : std::as_const(files))
        if (!oldFiles.contains(path))
            added.append(path);
    for (auto folder = filesInFolder.cbegin(); folder != filesInFolder.cend(); ++folder)
        if (!oldFolders.contains(folder.key()) && QFileInfo(folder.key()).isDir())
            added.append(folder.key());
    if (!added.isEmpty())
        watcher_.addPaths(added);
    states_ = std::move(states);
    filesInFolder_ = std::move(filesInFolder);
    before_.clear();
    if (differs)
        changed_();
}

void SourceWatch::check(const QStringList &paths) {
    bool differs = false;
    for (const QString &path : paths) {
        const auto known = states_.constFind(path);
        if (known == states_.cend())
            continue;
        const State now = stateOf(path);
        if (!(now == *known)) {
            differs = true;
            break;
        }
    }
    if (differs)
        changed_();
}
