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

std::function<void(Site &)> collectForSite(const QString &input, const QString &outputDirectory,
                                           const OutputPageList &pages) {
    const bool header = QFileInfo(input).completeSuffix() == QLatin1String("h");
    QStringList contents;
    for (const OutputPage &page : pages)
        if (page.fileName.endsWith(QLatin1String(".xml")))
            contents.append(page.text);
    // Where the contents entry's page names start from.
    const QString &contentsBase = outputDirectory;
    std::vector<Site::Declaration> declarations;
    // The pages' file names end to end in one string, which the declarations view: one
    // allocation for a header rather than one for each of its declarations.
    QString pageFiles;
    if (header) {
        const QString base = QFileInfo(input).baseName();
        const QString headerName = QFileInfo(input).fileName();
        const QString headerPage = outputDirectory + u'/' + base + QLatin1String("_h.htm");
        const auto &entries = programTables().entries.inNameOrder();
        qsizetype size = headerPage.size();
        for (const EntryRecord &entry : entries)
            size += outputDirectory.size() + entry.name.size() + 5;
        pageFiles.reserve(size);
        pageFiles += headerPage;
        declarations.reserve(size_t(entries.size()) + 1);
        declarations.push_back(Site::Declaration{headerName, QStringLiteral("header"), QString(),
                                                 QStringView(pageFiles), QString(), QString()});
        // One string per kind, shared by every declaration of that kind.
        static QHash<int, QString> kinds;
        for (const EntryRecord &entry : entries) {
            QString &kind = kinds[entry.kind];
            if (kind.isEmpty())
                kind = QLatin1String(kindName(entry.kind));
            const qsizetype start = pageFiles.size();
            pageFiles += outputDirectory;
            pageFiles += u'/';
            pageFiles += entry.name;
            pageFiles += QLatin1String(".htm");
            declarations.push_back(Site::Declaration{entry.name, kind, entry.brief,
                                                     QStringView(pageFiles).mid(start), headerName,
                                                     headerPage});
        }
        // Reserved in full, so the views stay where they point.
        Q_ASSERT(pageFiles.size() == size);
    }
    // Moving the string keeps its characters where the views point.
    return [contents = std::move(contents), contentsBase, pageFiles = std::move(pageFiles),
            declarations = std::move(declarations)](Site &site) {
        for (const QString &text : contents)
            site.addContents(text, contentsBase);
        for (const Site::Declaration &declaration : declarations)
            site.addDeclaration(declaration);
    };
}

QString shareFilePath(const char *name) {
    QString prefix = QCoreApplication::applicationDirPath();
    const QString bin = QStringLiteral("/" QUILLGEN_BIN_DIR);
    if (prefix.endsWith(bin)) {
        prefix.chop(bin.size());
        const QString installed =
            prefix + QStringLiteral("/" QUILLGEN_DATA_DIR "/") + QLatin1String(name);
        if (QFileInfo::exists(installed))
            return installed;
    }
    const QString source = QStringLiteral(QUILLGEN_SOURCE_SHARE "/") + QLatin1String(name);
    return QFileInfo::exists(source) ? source : QString();
}

QString stylesheetPath() {
    return shareFilePath("default.css");
}
