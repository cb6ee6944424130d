#include "sourcebrowser/sourcebrowserroot.h"

SourceBrowserRoot::SourceBrowserRoot() : SourceBrowserContainer(KindNone) {}

void SourceBrowserRoot::forgetFile(const QString &fileName) {
    // Classes first: the root lists nested classes too, so this reaches every class
    // however deeply it was declared.
    for (auto bucket = m_classes.begin(); bucket != m_classes.end();) {
        QList<SourceBrowserContainer *> kept;
        for (SourceBrowserContainer *cls : std::as_const(*bucket)) {
            const bool declaredHere = cls->declarationFile == fileName;
            const bool definedHere = cls->definitionFile == fileName;
            if (declaredHere) {
                if (cls->definitionFile.isEmpty() || definedHere)
                    continue;
                cls->forgetFileInside(fileName);
            } else if (definedHere) {
                if (cls->declarationFile.isEmpty())
                    continue;
                cls->forgetFileInside(fileName);
            }
            kept.append(cls);
        }
        if (kept.isEmpty()) {
            bucket = m_classes.erase(bucket);
        } else {
            *bucket = kept;
            ++bucket;
        }
    }
    forgetFileInside(fileName);
}

void SourceBrowserRoot::setStatistics(const QString &fileName,
                                      const SourceBrowserFileStatistics &record) {
    m_statistics.insert(fileName, record);
}

bool SourceBrowserRoot::statistics(const QString &fileName,
                                   SourceBrowserFileStatistics *record) const {
    const auto found = m_statistics.constFind(fileName);
    if (found == m_statistics.constEnd())
        return false;
    if (record)
        *record = found.value();
    return true;
}
