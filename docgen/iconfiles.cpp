#include "docgen/iconfiles.h"

#include <QString>

#include <algorithm>
#include <cstring>

QByteArray iconFile(QStringView name) {
    const QByteArray wanted = name.toLatin1();
    // A name beyond Latin-1 names no icon, and would read as another one.
    if (QString::fromLatin1(wanted) != name)
        return QByteArray();
    const IconFile *const end = iconFiles + iconFileCount;
    const IconFile *const found =
        std::lower_bound(iconFiles, end, wanted, [](const IconFile &file, const QByteArray &n) {
            return std::strcmp(file.name, n.constData()) < 0;
        });
    if (found == end || wanted != found->name)
        return QByteArray();
    return QByteArray::fromRawData(reinterpret_cast<const char *>(found->data),
                                   qsizetype(found->size));
}
