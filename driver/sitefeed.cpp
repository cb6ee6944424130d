#include "driver/sitefeed.h"

#include "docgen/programtables.h"
#include "site/site.h"
#include "sourcebrowser/sourcebrowserobject.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

bool siteRequested() {
    const QString value = qEnvironmentVariable("QUILLGEN_SITE");
    return !value.isEmpty() && value != QLatin1String("0");
}

namespace {

const char *kindName(int kind) {
    switch (kind) {
    case KindClass:
        return "class";
    case KindMethod:
        return "function";
    case KindVariable:
        return "variable";
    case KindTypedef:
        return "type";
    case KindStruct:
        return "struct or union";
    case KindEnum:
        return "enum";
    case KindNamespace:
        return "namespace";
    case KindMacro:
        return "macro";
    }
    return "declaration";
}

} // namespace

void collectForSite(Site &site, const QString &input, const QString &outputDirectory,
                    const OutputPageList &pages) {
    const bool header = QFileInfo(input).completeSuffix() == QLatin1String("h");
    for (const OutputPage &page : pages)
        if (page.fileName.endsWith(QLatin1String(".xml")))
            site.addContents(page.text, header ? outputDirectory : QString());
    if (!header)
        return;
    const QString base = QFileInfo(input).baseName();
    const QString headerName = QFileInfo(input).fileName();
    const QString headerPage = outputDirectory + u'/' + base + QLatin1String("_h.htm");
    site.addDeclaration(Site::Declaration{headerName, QStringLiteral("header"), QString(),
                                          headerPage, QString(), QString()});
    // One string per kind, shared by every declaration of that kind.
    static QHash<int, QString> kinds;
    for (const EntryRecord &entry : std::as_const(programTables().entries)) {
        QString &kind = kinds[entry.kind];
        if (kind.isEmpty())
            kind = QLatin1String(kindName(entry.kind));
        QString page;
        page.reserve(outputDirectory.size() + entry.name.size() + 5);
        page += outputDirectory;
        page += u'/';
        page += entry.name;
        page += QLatin1String(".htm");
        site.addDeclaration(
            Site::Declaration{entry.name, kind, entry.brief, page, headerName, headerPage});
    }
}

QString stylesheetPath() {
    QString prefix = QCoreApplication::applicationDirPath();
    const QString bin = QStringLiteral("/" QUILLGEN_BIN_DIR);
    if (prefix.endsWith(bin)) {
        prefix.chop(bin.size());
        const QString installed = prefix + QStringLiteral("/" QUILLGEN_DATA_DIR "/default.css");
        if (QFileInfo::exists(installed))
            return installed;
    }
    const QString source = QStringLiteral(QUILLGEN_SOURCE_SHARE "/default.css");
    return QFileInfo::exists(source) ? source : QString();
}
