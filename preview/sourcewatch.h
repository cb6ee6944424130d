#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>

// Watches the files that a render read, and the files it looked for and did not find,
// for a change that may change the pages. The folders that hold them are watched too:
// an editor that saves by writing a new file and renaming it over the old one leaves
// the old file's watch behind, and a missing file shows up only in its folder.
//
// What the kernel reports is compared with what each file was when the render read
// it (its identity, size and modification time, or that it was not there), so that a
// folder's other traffic (the pages a render writes beside its sources, an editor's
// swap files) starts no render.
class SourceWatch : public QObject {
public:
    // changed is called (perhaps many times for one save) when a watched file differs.
    explicit SourceWatch(std::function<void()> changed);

    // Notes what the watched files are before a render reads them, so that a save made
    // while it runs is not taken for what it read.
    void beforeRender();

    // Watches these files from now on, instead of the earlier ones: read, the files the
    // render read; missing, those it did not find. Names relative to the working
    // directory or absolute. A file that changed since beforeRender (or, new to the
    // watch, since it was read) calls changed at once.
    void watch(const QStringList &read, const QStringList &missing);

private:
    struct State {
        bool exists = false;
        quint64 device = 0, inode = 0;
        qint64 size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const State &o) const {
            return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
                   seconds == o.seconds && nanoseconds == o.nanoseconds;
        }
    };
    static State stateOf(const QString &path);
    void check(const QStringList &paths);

    std::function<void()> changed_;
    QFileSystemWatcher watcher_;
    QHash<QString, State> states_;              // by absolute name
    QHash<QString, State> before_;              // as beforeRender found them
    QHash<QString, QStringList> filesInFolder_; // absolute folder -> its watched files
};
