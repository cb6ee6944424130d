#include "sourcebrowser/eventinterface.h"

void SourceBrowserEventInterface::preprocessorLine(const QString &, int) {}

void SourceBrowserEventInterface::markerComment(const QString &, int, int) {}

void SourceBrowserEventInterface::declarationStarted(int, const QString &, const QString &,
                                                     const QString &, int) {}

void SourceBrowserEventInterface::declarationFinished() {}

void SourceBrowserEventInterface::variableDeclared(int, const QString &, const QString &, int) {}

void SourceBrowserEventInterface::accessChanged(int, int) {}
