#ifndef SOURCEBROWSER_SOURCEBROWSERROOT_H
#define SOURCEBROWSER_SOURCEBROWSERROOT_H

#include "sourcebrowser/filestatistics.h"
#include "sourcebrowser/sourcebrowsercontainer.h"

// The global scope of one documentation set. It owns every entity filed below it.
class SourceBrowserRoot : public SourceBrowserContainer {
public:
    SourceBrowserRoot();

    // Statistics are keyed by the file name exactly as given to the parser.
    void setStatistics(const QString &fileName, const SourceBrowserFileStatistics &record);
    // False, and `record` untouched, when the file was never parsed.
    bool statistics(const QString &fileName, SourceBrowserFileStatistics *record) const;

private:
    QHash<QString, SourceBrowserFileStatistics> m_statistics;
};

#endif
