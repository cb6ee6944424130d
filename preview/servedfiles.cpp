#include "preview/servedfiles.h"

#include "preview/previewpaths.h"

#include <QFileInfo>
#include <QStringView>

#include <sys/stat.h>

ServedFile findServedFile(const QString &root, const QString &urlPath) {
    ServedFile served;
    if (!urlPath.startsWith(u'/') || urlPath.contains(QChar(0)) || urlPath.contains(u'\\'))
        return served;
    const QStringView rest = QStringView(urlPath).mid(1);
    for (const QStringView segment : rest.split(u'/')) {
        if (segment.isEmpty() || segment.startsWith(u'.'))
            return served;
    }
    const QString joined = root + urlPath;
    // Resolved, so that a link anywhere on the way that points out of the folder is
    // caught; a file that is not there resolves to nothing.
    const QString resolved = QFileInfo(joined).canonicalFilePath();
    if (resolved.isEmpty() || !resolved.startsWith(root + u'/'))
        return served;
    struct stat status;
    if (::stat(QFile::encodeName(resolved).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return served;
    served.status = 200;
    served.fileName = resolved;
    return served;
}

bool isPageName(const QString &fileName) {
    return fileName.endsWith(QLatin1String(".htm")) || fileName.endsWith(QLatin1String(".html"));
}

QByteArray contentType(const QString &fileName) {
    struct Type {
        const char *suffix;
        const char *type;
    };
    static const Type types[] = {
        {"htm", "text/html"},
        {"html", "text/html"},
        {"css", "text/css"},
        {"js", "text/javascript"},
        {"json", "application/json"},
        {"png", "image/png"},
        {"gif", "image/gif"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"svg", "image/svg+xml"},
        {"ico", "image/vnd.microsoft.icon"},
        {"webp", "image/webp"},
        {"txt", "text/plain; charset=utf-8"},
        {"xml", "application/xml"},
        {"pdf", "application/pdf"},
        {"woff2", "font/woff2"},
    };
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot >= 0 && fileName.indexOf(u'/', dot) < 0) {
        const QString suffix = fileName.mid(dot + 1).toLower();
        for (const Type &type : types)
            if (suffix == QLatin1String(type.suffix))
                return type.type;
    }
    return "application/octet-stream";
}

QByteArray withLiveScript(const QByteArray &page, int render) {
    const QByteArray tag = "<script src=\"" + QByteArray(liveScriptPath) + "\" data-render=\"" +
                           QByteArray::number(render) + "\"></script>";
    // The last "</body>", in any case: a page that quotes the tag in its text has the
    // real one after the quote.
    for (qsizetype at = page.size() - 7; at >= 0; --at) {
        if (page.at(at) == '<' && qstrnicmp(page.constData() + at, "</body>", 7) == 0) {
            QByteArray out;
            out.reserve(page.size() + tag.size());
            out.append(page.constData(), at)
                .append(tag)
                .append(page.constData() + at, page.size() - at);
            return out;
        }
    }
    return page + tag;
}
