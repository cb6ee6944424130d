#include "docgen/filesread.h"

#include <QFile>
#include <QSet>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FilesRead {
    QStringList names;
    QSet<QString> seen;
    QStringList missing;
    QSet<QString> missingSeen;
    ReadFailure failure;
};

FilesRead &files() {
    static FilesRead instance;
    return instance;
}

} // namespace

void recordFileRead(const QString &fileName) {
    FilesRead &f = files();
    if (!f.seen.contains(fileName)) {
        f.seen.insert(fileName);
        f.names.append(fileName);
    }
}

const QStringList &filesRead() {
    return files().names;
}

const QStringList &filesMissing() {
    return files().missing;
}

void forgetFilesRead() {
    files() = FilesRead();
}

bool meansNoFile(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case ENXIO: // a socket, or a device with nothing behind it
        return true;
    default:
        return false;
    }
}

void recordReadFailure(const QString &fileName, int error) {
    FilesRead &f = files();
    if ((error == ENOENT || error == ENOTDIR) && !f.missingSeen.contains(fileName)) {
        f.missingSeen.insert(fileName);
        f.missing.append(fileName);
    }
    if (error != 0 && !meansNoFile(error) && f.failure.error == 0)
        f.failure = ReadFailure{fileName, error};
}

const ReadFailure &readFailure() {
    return files().failure;
}

int openForReading(const QString &fileName, qint64 &size, int &error) {
    size = 0;
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
        ::close(fd);
        return -1;
    }
    if (S_ISREG(status.st_mode))
        size = status.st_size;
    error = 0;
    return fd;
}

int readToEnd(int fd, qint64 sizeHint, QByteArray &bytes) {
    // One byte of room beyond the size, so that a file that did not grow is read to its
    // end without the buffer growing.
    qsizetype room = qsizetype(sizeHint) + 1;
    qsizetype used = 0;
    bytes.resize(room);
    for (;;) {
        if (used == room) {
            room = 2 * room + 4096;
            bytes.resize(room);
        }
        const ssize_t n = ::read(fd, bytes.data() + used, size_t(room - used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            bytes.truncate(used);
            return error;
        }
        if (n == 0)
            break;
        used += n;
    }
    bytes.truncate(used);
    return 0;
}

int readWholeFile(const QString &fileName, QByteArray &bytes) {
    if (fileName.isEmpty() || fileName.startsWith(u':')) {
        // One of the program's own resources, or no name, which Qt reports as it did.
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return ENOENT;
        bytes = file.readAll();
        return 0;
    }
    qint64 size;
    int error;
    const int fd = openForReading(fileName, size, error);
    if (fd < 0)
        return error;
    error = readToEnd(fd, size, bytes);
    ::close(fd);
    return error;
}
