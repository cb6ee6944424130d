#include "driver/pagewriter.h"

#include "common/systemencoding.h"
#include "driver/filesystem.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes all of data to fd, going on after short writes and interruptions.
bool writeAll(int fd, const QByteArray &data) {
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// Writes all of data to fd and closes it; whether both went well.
bool writeAndClose(int fd, const QByteArray &data) {
    const bool written = writeAll(fd, data);
    return ::close(fd) == 0 && written;
}

// Reads up to size bytes, going on after short reads; the count read, or -1.
ssize_t readFully(int fd, char *buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

// Whether path is a regular file holding exactly bytes. The size decides first, so a
// page that grew or shrank costs one stat; the content is compared a block at a time.
// absent tells whether nothing at all had the name.
bool holdsExactly(const QByteArray &path, const QByteArray &bytes, bool &absent) {
    struct stat status;
    absent = false;
    if (::lstat(path.constData(), &status) != 0) {
        absent = errno == ENOENT;
        return false;
    }
    if (!S_ISREG(status.st_mode) || status.st_size != off_t(bytes.size()))
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char block[65536];
    qsizetype offset = 0;
    bool same = true;
    while (same) {
        const ssize_t n = readFully(fd, block, sizeof block);
        if (n < 0 || offset + n > bytes.size()) {
            same = false;
        } else if (n == 0) {
            same = offset == bytes.size();
            break;
        } else {
            same = std::memcmp(block, bytes.constData() + offset, size_t(n)) == 0;
            offset += n;
        }
    }
    ::close(fd);
    return same;
}

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
QByteArray writeInPlace(const QString &fileName, const QByteArray &path, const QByteArray &bytes) {
    removeFile(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return "cannot open " + fileName.toUtf8();
    if (!writeAndClose(fd, bytes)) {
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
               QByteArray &error) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (!writeAndClose(fd, bytes)) {
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

} // namespace

QByteArray writePage(const QString &fileName, const QByteArray &bytes) {
    const QByteArray path = encodedName(fileName);
    // Pages come in runs: a run into a fresh folder creates every page, a rerun finds
    // every page there. While pages are being created, the exclusive create comes
    // first and the stat that would only tell that the name is free is saved; a name
    // that is taken sends the page the way of an existing one, as the stat would have.
    static std::atomic<bool> creating{false};
    QByteArray error;
    if (creating.load(std::memory_order_relaxed) && createNew(fileName, path, bytes, error))
        return error;
    bool absent;
    if (holdsExactly(path, bytes, absent)) {
        creating.store(false, std::memory_order_relaxed);
        return QByteArray();
    }
    // A page that has no file yet is created where it goes: there is no old page to
    // keep, and a temporary's creation and rename cost the kernel more than the write.
    // Should another process take the name first, the page goes the way of a
    // replaced one.
    creating.store(absent, std::memory_order_relaxed);
    if (absent && createNew(fileName, path, bytes, error))
        return error;
    QByteArray temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0)
        return writeInPlace(fileName, path, bytes);
    if (!writeAndClose(fd, bytes)) {
        ::unlink(temporary.constData());
        return "cannot write " + fileName.toUtf8();
    }
    // Renaming replaces whatever had the page's name, as removing it first would; a
    // name that cannot take a file (a folder, say) is one that cannot be opened.
    if (::rename(temporary.constData(), path.constData()) != 0) {
        ::unlink(temporary.constData());
        return "cannot open " + fileName.toUtf8();
    }
    return QByteArray();
}
