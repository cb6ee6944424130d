#include "driver/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

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

QString absoluteCleanPath(const QString &path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
