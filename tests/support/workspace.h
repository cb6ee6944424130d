#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/support/printers.h"

#include <utility>
#include <vector>

// What one run of the quillgen binary did.
struct RunResult {
    int exitCode = -1;
    QString out; // standard output
    QString err; // standard error
};

// A temporary directory to run the quillgen binary in: write input files, run the
// tool with the directory as its working directory, read what it wrote.
class Workspace {
public:
    Workspace();

    QString path(const QString &relative = QString()) const;
    void write(const QString &relative, const QByteArray &content) const;
    void write(const QString &relative, const QString &content) const {
        write(relative, content.toUtf8());
    }
    QString read(const QString &relative) const;
    bool exists(const QString &relative) const;

    // Runs quillgen with args in the folder `directory` of the workspace; env adds or
    // replaces environment variables.
    RunResult run(const QStringList &args, const std::vector<std::pair<QString, QString>> &env = {},
                  const QString &directory = QString()) const;

private:
    QTemporaryDir dir_;
};

// The body of a page written with the page template: what stands between "<body>\n"
// and "</body>".
QString pageBody(const QString &page);
