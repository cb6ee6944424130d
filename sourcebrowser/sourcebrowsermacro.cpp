#include "sourcebrowser/sourcebrowsermacro.h"

SourceBrowserMacro::SourceBrowserMacro() {
    kind = KindMacro;
    access = AccessPublic;
}

QString SourceBrowserMacro::synopsis(int) const {
    return text;
}
