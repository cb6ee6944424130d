#include "driver/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool makePath(const QString &directory) {
    if (QFileInfo::exists(directory))
        return true;
    // Walks up to the first existing ancestor without recursion, then creates the
    // missing directories from the top down.
    QStringList missing;
    QString current = QFileInfo(directory).absoluteFilePath();
    while (!QFileInfo::exists(current)) {
        if (QDir(current).isRoot())
            return false;
        missing.prepend(current);
        current = current.left(qMax(1, int(current.lastIndexOf(u'/'))));
    }
    bool created = false;
    for (const QString &dir : std::as_const(missing))
        created = QDir().mkdir(dir);
    return created;
}

bool removeFile(const QString &fileName) {
    return ::unlink(QFile::encodeName(fileName).constData()) == 0;
}

QString cleanPath(const QString &path) {
    const QStringList segments = path.split(u'/');
    QStringList kept;
    int removable = 0; // kept segments at the end that a ".." may take back
    for (int i = 0; i < segments.size(); ++i) {
        const QString &segment = segments.at(i);
        if (segment == QLatin1String("."))
            continue;
        if (segment.isEmpty()) {
            if (i == 0)
                kept.append(segment); // the root of an absolute path
            continue;
        }
        if (segment == QLatin1String("..")) {
            if (removable > 0) {
                kept.removeLast();
                --removable;
            } else {
                kept.append(segment);
            }
            continue;
        }
        kept.append(segment);
        ++removable;
    }
    if (kept.size() == 1 && kept.first().isEmpty())
        return QStringLiteral("/");
    return kept.join(u'/');
}

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

// Only regular files are removed: a device or pipe named as a page stays in place.
void discardPartial(const QByteArray &path) {
    struct stat status;
    if (::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode))
        ::unlink(path.constData());
}

} // namespace

// A page is one open, one write and one close: a run writes thousands of them, and
// the time of a buffered stream per page shows against the kernel's own work.
QByteArray writeTextFile(const QString &fileName, const QString &text) {
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return "cannot open " + fileName.toUtf8();
    bool written = writeAll(fd, text.toLocal8Bit());
    if (::close(fd) != 0)
        written = false;
    if (!written) {
        discardPartial(path);
        return "cannot write " + fileName.toUtf8();
    }
    return QByteArray();
}
