#include "driver/pagewriter.h"

#include "common/filebytes.h"
#include "common/systemencoding.h"
#include "driver/filesystem.h"
#include "driver/interrupt.h"
#include "driver/systemerror.h"

#include <QFile>
#include <QSet>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name for a temporary file beside path that no other file has yet: created with
// O_EXCL and the mode a page gets, so the renamed page has the permissions that a
// page created in place would have.
int createTemporary(const QByteArray &path, QByteArray &temporary) {
    static std::atomic<unsigned> counter{0};
    // The process does not change while it runs: asked once, not once a page.
    static const QByteArray process = QByteArray::number(qint64(::getpid()));
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : path.left(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + ".quillgen-" + process + '-' + QByteArray::number(counter++) + ".tmp";
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The way of a folder where no temporary file can be made (one that is not writable
// while the page in it is): the page is removed and written in place.
QByteArray writeInPlace(const QString &fileName, const QByteArray &path, const QByteArray &bytes,
                        int &reason) {
    removeFile(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = errno;
        return "cannot open " + fileName.toUtf8();
    }
    if (!writeAndClose(fd, bytes, reason)) {
        // Only regular files are removed: a device or pipe named as a page stays.
        struct stat status;
        if (::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(path.constData());
        return "cannot write " + fileName.toUtf8();
    }
    return QByteArray();
}

// Creates path for bytes when nothing has the name yet. Returns true when done: the
// page was written, or error tells why not. False: the name was taken (or could not
// be created), and the page goes the way of a replaced one.
bool createNew(const QString &fileName, const QByteArray &path, const QByteArray &bytes,
               QByteArray &error, int &reason) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (!writeAndClose(fd, bytes, reason)) {
        ::unlink(path.constData());
        error = "cannot write " + fileName.toUtf8();
    }
    return true;
}

// The name as the system takes it, as QFile::encodeName gives it: in UTF-8 where that
// is the system's encoding, made for a fraction of the cost of the general conversion,
// as a header's run names thousands of pages.
QByteArray encodedName(const QString &fileName) {
    return systemEncodingIsUtf8() ? fileName.toUtf8() : QFile::encodeName(fileName);
}

// Whether name is that of a temporary file of a run that has ended: ".quillgen-PID-N.tmp"
// where no process PID lives (one that lives, even another user's, keeps its files).
bool isStaleTemporary(const char *name) {
    static const char prefix[] = ".quillgen-";
    if (std::strncmp(name, prefix, sizeof prefix - 1) != 0)
        return false;
    char *end = nullptr;
    const long process = std::strtol(name + sizeof prefix - 1, &end, 10);
    if (end == name + sizeof prefix - 1 || *end != '-' || process <= 0)
        return false;
    const char *counter = end + 1;
    std::strtoul(counter, &end, 10);
    if (end == counter || std::strcmp(end, ".tmp") != 0)
        return false;
    return pid_t(process) != ::getpid() && ::kill(pid_t(process), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files that runs which died (by SIGKILL, say) left in the folder
// of path: once per folder and run, before the run's first page there.
void removeStaleTemporaries(const QByteArray &path) {
    static std::mutex mutex;
    static QByteArray lastFolder; // pages come in runs into one folder
    static QSet<QByteArray> seen;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(slash + 1);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (folder == lastFolder)
            return;
        lastFolder = folder;
        if (seen.contains(folder))
            return;
        seen.insert(folder);
    }
    DIR *const directory = ::opendir(folder.constData());
    if (!directory)
        return;
    const QByteArray prefix = slash < 0 ? QByteArray() : folder;
    while (const dirent *entry = ::readdir(directory)) {
        if (isStaleTemporary(entry->d_name))
            ::unlink(QByteArray(prefix + entry->d_name).constData());
    }
    ::closedir(directory);
}

QByteArray writeBracketed(const QString &fileName, const QByteArray &path, const QByteArray &bytes,
                          int &reason, bool &changed) {
    // Pages come in runs: a run into a fresh folder creates every page, a rerun finds
    // every page there. While pages are being created, the exclusive create comes
    // first and the stat that would only tell that the name is free is saved; a name
    // that is taken sends the page the way of an existing one, as the stat would have.
    static std::atomic<bool> creating{false};
    QByteArray error;
    if (creating.load(std::memory_order_relaxed) && createNew(fileName, path, bytes, error, reason))
        return error;
    bool absent;
    if (holdsExactly(path, bytes, absent)) {
        creating.store(false, std::memory_order_relaxed);
        changed = false;
        return QByteArray();
    }
    // A page that has no file yet is created where it goes: there is no old page to
    // keep, and a temporary's creation and rename cost the kernel more than the write.
    // Should another process take the name first, the page goes the way of a
    // replaced one.
    creating.store(absent, std::memory_order_relaxed);
    if (absent && createNew(fileName, path, bytes, error, reason))
        return error;
    QByteArray temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0)
        return writeInPlace(fileName, path, bytes, reason);
    if (!writeAndClose(fd, bytes, reason)) {
        ::unlink(temporary.constData());
        return "cannot write " + fileName.toUtf8();
    }
    // Renaming replaces whatever had the page's name, as removing it first would; a
    // name that cannot take a file (a folder, say) is one that cannot be opened.
    if (::rename(temporary.constData(), path.constData()) != 0) {
        reason = errno;
        ::unlink(temporary.constData());
        return "cannot open " + fileName.toUtf8();
    }
    return QByteArray();
}

} // namespace

QByteArray writePage(const QString &fileName, const QByteArray &bytes, bool *changed) {
    const QByteArray path = encodedName(fileName);
    removeStaleTemporaries(path);
    int reason = 0;
    QByteArray error;
    bool differs = true;
    {
        // A stop that comes while the page is written waits for it to be whole (or
        // removed, when its write fails); one that came before keeps it from starting.
        const FileWriting bracket;
        error = writeBracketed(fileName, path, bytes, reason, differs);
    }
    if (changed)
        *changed = differs;
    if (!error.isEmpty())
        noteFailureReason(error, fileName, reason);
    return error;
}
