#pragma once

#include <QStringList>

// Every file that the run has read, so that a build can learn what its pages depend
// on: sources, included sources, presented and copied files, definitions. A file is
// recorded once, under the name by which it was first read, and only when it could be
// opened.
void recordFileRead(const QString &fileName);

// The recorded names in the order in which the files were first read.
const QStringList &filesRead();
