#include "sourcebrowser/sourcebrowserroot.h"

SourceBrowserRoot::SourceBrowserRoot() : SourceBrowserContainer(KindNone) {}

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
