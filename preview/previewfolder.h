#pragma once

#include "driver/commandline.h"

#include <QString>

// The folder the preview serves: the deepest one that holds every folder the run's
// pages go to (the working directory or QUILLGEN_MANUAL_OUTPUT for manuals, the "-o"
// folder for headers), so that the links between them work as they do on disk.
class ServedRoot {
public:
    explicit ServedRoot(const QString &absolute) : absolute_(absolute) {}

    // Once the first render has made the folders: the folder resolved, made when
    // missing. Returns false with problem set when it cannot be had.
    bool settle(QString &problem);
    const QString &canonical() const { return canonical_; }

    // fileName (relative to the working directory, or absolute) relative to the
    // folder; empty for a file outside it.
    QString relative(const QString &fileName) const;

private:
    QString absolute_;
    QString canonical_;
};

// The served folder for line; problem is set when the folders have nothing in common
// below "/", which is not served.
ServedRoot servedRoot(const CommandLine &line, QString &problem);
