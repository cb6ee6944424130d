#include "tests/support/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

Workspace::Workspace() {
    EXPECT_TRUE(dir_.isValid());
}

QString Workspace::path(const QString &relative) const {
    return relative.isEmpty() ? dir_.path() : dir_.filePath(relative);
}

void Workspace::write(const QString &relative, const QByteArray &content) const {
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    f.write(content);
}

QString Workspace::read(const QString &relative) const {
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool Workspace::exists(const QString &relative) const {
    return QFileInfo::exists(path(relative));
}

RunResult Workspace::run(const QStringList &args,
                         const std::vector<std::pair<QString, QString>> &env,
                         const QString &directory) const {
    QProcess process;
    process.setWorkingDirectory(path(directory));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QUILLGEN_MENU_DEFINITIONS"));
    environment.remove(QStringLiteral("QUILLGEN_WARNINGS"));
    environment.remove(QStringLiteral("QUILLGEN_PROPERTIES"));
    environment.remove(QStringLiteral("QUILLGEN_SITE"));
    for (const auto &[name, value] : env)
        environment.insert(name, value);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLGEN_BINARY), args);
    RunResult result;
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << "quillgen did not finish";
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString pageBody(const QString &page) {
    const QString open = QStringLiteral("<body>\n");
    const qsizetype start = page.indexOf(open);
    const qsizetype end = page.lastIndexOf(QStringLiteral("</body>"));
    if (start < 0 || end < start)
        return QString();
    return page.mid(start + open.size(), end - start - open.size());
}
