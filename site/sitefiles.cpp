#include "site/sitefiles.h"

#include "common/filebytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray failure(const char *what, const QString &fileName, int error) {
    return QByteArray("cannot ") + what + ' ' + QFile::encodeName(fileName) + ": " +
           std::strerror(error);
}

// Writes bytes to a new file of that name (an old one of the name is replaced), every
// write and the close checked; a file that fails is removed.
QByteArray writeWhole(const QString &fileName, const QByteArray &bytes) {
    const QByteArray name = QFile::encodeName(fileName);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure("create", fileName, errno);
    int error = 0;
    if (writeAndClose(fd, bytes, error))
        return QByteArray();
    ::unlink(name.constData());
    return failure("write", fileName, error);
}

bool holds(const QString &fileName, const QByteArray &bytes) {
    bool absent;
    return holdsExactly(QFile::encodeName(fileName), bytes, absent);
}

QByteArray renamed(const QString &from, const QString &to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return QByteArray();
    return failure("rename", from, errno) + " (to " + QFile::encodeName(to) + ')';
}

// A hidden name beside fileName for what is being made to replace it.
QString partName(const QString &fileName) {
    const QFileInfo info(fileName);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QLatin1String(".part"));
}

} // namespace

PendingFile::~PendingFile() {
    if (!partName_.isEmpty())
        QFile::remove(partName_);
}

QByteArray PendingFile::write(const QByteArray &bytes) {
    if (holds(fileName_, bytes))
        return QByteArray();
    const QString part = partName(fileName_);
    const QByteArray error = writeWhole(part, bytes);
    if (error.isEmpty())
        partName_ = part;
    return error;
}

QByteArray PendingFile::remove() {
    if (partName_.isEmpty() || ::unlink(QFile::encodeName(fileName_).constData()) == 0 ||
        errno == ENOENT)
        return QByteArray();
    return failure("remove", fileName_, errno);
}

QByteArray PendingFile::install() {
    if (partName_.isEmpty())
        return QByteArray();
    const QByteArray error = renamed(partName_, fileName_);
    if (error.isEmpty())
        partName_.clear();
    return error;
}

FolderReplacement::FolderReplacement(const QString &folder, bool (*claims)(const QString &))
    : folder_(folder), part_(partName(folder)), claims_(claims) {}

FolderReplacement::~FolderReplacement() {
    if (begun_)
        QDir(part_).removeRecursively();
}

QByteArray FolderReplacement::begin() {
    // What an interrupted run left.
    QDir(part_).removeRecursively();
    if (::mkdir(QFile::encodeName(part_).constData(), 0755) != 0)
        return failure("create", part_, errno);
    begun_ = true;
    changed_ = !QFileInfo(folder_).isDir();
    return QByteArray();
}

QByteArray FolderReplacement::add(const QString &name, const QByteArray &bytes) {
    if (!begun_) {
        const QByteArray error = begin();
        if (!error.isEmpty())
            return error;
    }
    added_.append(name);
    const QString old = folder_ + u'/' + name, made = part_ + u'/' + name;
    // An unchanged file is the old one, linked: its time and inode stay.
    if (holds(old, bytes) &&
        ::link(QFile::encodeName(old).constData(), QFile::encodeName(made).constData()) == 0)
        return QByteArray();
    changed_ = true;
    return writeWhole(made, bytes);
}

bool FolderReplacement::changed() const {
    if (changed_)
        return true;
    // Files of the old set that the new one lacks.
    for (const QString &name : QDir(folder_).entryList(QDir::Files | QDir::Hidden))
        if (claims_(name) && !added_.contains(name))
            return true;
    return false;
}

QByteArray FolderReplacement::install() {
    if (!begun_) {
        const QByteArray error = begin();
        if (!error.isEmpty())
            return error;
    }
    if (!changed())
        return QByteArray();
    const QDir old(folder_);
    if (!old.exists())
        return renamed(part_, folder_);
    // The author's files in the folder go on.
    for (const QString &name : old.entryList(QDir::Files | QDir::Hidden))
        if (!claims_(name) && !added_.contains(name))
            ::link(QFile::encodeName(old.filePath(name)).constData(),
                   QFile::encodeName(part_ + u'/' + name).constData());
    const QByteArray from = QFile::encodeName(part_), to = QFile::encodeName(folder_);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) != 0) {
        // A file system without the exchange: the old folder goes aside for a moment.
        const QString aside = partName(folder_ + QLatin1String(".old"));
        QDir(aside).removeRecursively();
        QByteArray error = renamed(folder_, aside);
        if (!error.isEmpty())
            return error;
        error = renamed(part_, folder_);
        if (!error.isEmpty()) {
            renamed(aside, folder_);
            return error;
        }
        QDir(aside).removeRecursively();
        begun_ = false;
        return QByteArray();
    }
    // part_ holds the old set now; the destructor removes it.
    return QByteArray();
}
