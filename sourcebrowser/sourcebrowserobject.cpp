#include "sourcebrowser/sourcebrowserobject.h"

SourceBrowserObject::~SourceBrowserObject() = default;

QString SourceBrowserObject::synopsis(int) const {
    return name;
}

QString SourceBrowserObject::qualifiedName() const {
    if (scope.isEmpty())
        return name;
    return scope + QLatin1Char('.') + name;
}
