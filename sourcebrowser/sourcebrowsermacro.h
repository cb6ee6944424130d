#ifndef SOURCEBROWSER_SOURCEBROWSERMACRO_H
#define SOURCEBROWSER_SOURCEBROWSERMACRO_H

#include "sourcebrowser/sourcebrowserobject.h"

// A "#define" directive. Its synopsis is the directive exactly as read, continuation
// lines joined by a line break and three spaces.
class SourceBrowserMacro : public SourceBrowserObject {
public:
    SourceBrowserMacro();

    QString synopsis(int flags) const override;

    QString text;
};

#endif
