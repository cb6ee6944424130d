#include "docgen/filesread.h"

#include <QSet>

namespace {

struct FilesRead {
    QStringList names;
    QSet<QString> seen;
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
