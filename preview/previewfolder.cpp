#include "preview/previewfolder.h"

#include "driver/filesystem.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The deepest folder that holds both a and b (absolute, clean).
QString commonFolder(const QString &a, const QString &b) {
    const QStringList x = a.split(u'/');
    const QStringList y = b.split(u'/');
    qsizetype n = 0;
    while (n < x.size() && n < y.size() && x.at(n) == y.at(n))
        ++n;
    const QString common = x.mid(0, n).join(u'/');
    return common.isEmpty() ? QStringLiteral("/") : common;
}

} // namespace

ServedRoot servedRoot(const CommandLine &line, QString &problem) {
    const QString manualFolder = qEnvironmentVariable("QUILLGEN_MANUAL_OUTPUT");
    QStringList folders;
    for (const QString &input : line.inputs) {
        const QString suffix = QFileInfo(input).completeSuffix();
        if (suffix == QLatin1String("dg"))
            folders.append(
                absoluteCleanPath(manualFolder.isEmpty() ? QStringLiteral(".") : manualFolder));
        else if (suffix == QLatin1String("h"))
            folders.append(absoluteCleanPath(
                line.outputDirectory.isEmpty() ? QStringLiteral(".") : line.outputDirectory));
    }
    if (folders.isEmpty())
        folders.append(absoluteCleanPath(QStringLiteral(".")));
    QString root = folders.first();
    for (const QString &folder : std::as_const(folders))
        root = commonFolder(root, folder);
    if (root == QLatin1String("/"))
        problem = QStringLiteral("the pages go to folders with nothing in common below '/' "
                                 "(%1), which is not served: put them under one folder")
                      .arg(folders.join(QLatin1String(", ")));
    return ServedRoot(root);
}

bool ServedRoot::settle(QString &problem) {
    QDir().mkpath(absolute_);
    canonical_ = QFileInfo(absolute_).canonicalFilePath();
    if (canonical_.isEmpty() || !QFileInfo(canonical_).isDir()) {
        problem = QStringLiteral("cannot serve the folder %1").arg(absolute_);
        return false;
    }
    return true;
}

QString ServedRoot::relative(const QString &fileName) const {
    const QString path = absoluteCleanPath(fileName);
    for (const QString *root : {&absolute_, &canonical_}) {
        if (!root->isEmpty() && path.startsWith(*root + u'/'))
            return path.mid(root->size() + 1);
    }
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (!canonical_.isEmpty() && resolved.startsWith(canonical_ + u'/'))
        return resolved.mid(canonical_.size() + 1);
    return QString();
}
