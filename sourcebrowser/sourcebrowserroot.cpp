#include "sourcebrowser/sourcebrowserroot.h"

SourceBrowserRoot::SourceBrowserRoot() : SourceBrowserContainer(KindNone) {}
