#include "driver/depfile.h"

#include "driver/filesystem.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace {

// A space ends a name unless a backslash stands before it; the backslashes that come
// right before an escaped space are doubled so that they keep standing for themselves.
QByteArray escaped(const QString &fileName) {
    const QByteArray name = QFile::encodeName(fileName);
    QByteArray out;
    out.reserve(name.size() + 8);
    int backslashes = 0;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '#') {
            out += QByteArray(backslashes, '\\');
            out += '\\';
        } else if (c == '$') {
            out += '$';
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
        out += c;
    }
    return out;
}

QString absolute(const QString &fileName) {
    return cleanPath(QDir::current().absoluteFilePath(fileName));
}

} // namespace

QByteArray dependencyRule(const QStringList &targets, const QStringList &prerequisites) {
    QByteArray rule;
    QSet<QString> seen;
    for (const QString &target : targets) {
        const QString name = absolute(target);
        if (seen.contains(name))
            continue;
        seen.insert(name);
        if (!rule.isEmpty())
            rule += ' ';
        rule += escaped(name);
    }
    rule += ':';
    seen.clear();
    for (const QString &prerequisite : prerequisites) {
        const QString name = absolute(prerequisite);
        if (seen.contains(name))
            continue;
        seen.insert(name);
        rule += " \\\n  " + escaped(name);
    }
    rule += '\n';
    return rule;
}
