#pragma once

#include <QByteArray>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Whole files written and compared with the system's calls, so that the reason of a
// failure is known: the pages and the site's files are written with them.

// Writes all of data to fd, going on after short writes and interruptions.
inline bool writeAll(int fd, const QByteArray &data) {
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

// Writes all of data to fd and closes it; whether both went well. reason: the errno
// of the first failure.
inline bool writeAndClose(int fd, const QByteArray &data, int &reason) {
    errno = 0;
    const bool written = writeAll(fd, data);
    if (!written)
        reason = errno != 0 ? errno : EIO;
    const bool closed = ::close(fd) == 0;
    if (written && !closed)
        reason = errno;
    return written && closed;
}

// Reads up to size bytes, going on after short reads; the count read, or -1.
inline ssize_t readFully(int fd, char *buffer, size_t size) {
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
inline bool holdsExactly(const QByteArray &path, const QByteArray &bytes, bool &absent) {
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
