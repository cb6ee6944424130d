#ifndef SOURCEBROWSER_SOURCEBROWSERROOT_H
#define SOURCEBROWSER_SOURCEBROWSERROOT_H

#include "sourcebrowser/sourcebrowsercontainer.h"

// The global scope of one header. It owns every entity filed below it.
class SourceBrowserRoot : public SourceBrowserContainer {
public:
    SourceBrowserRoot();
};

#endif
