#pragma once

#include <QString>
#include <QStringList>

class DocGen;

// Reads a manual source line by line, selects its variant sections, splices in the
// sources it includes, and runs the markup interpreter over the result.
void preprocess(DocGen &docGen, const QString &inputPath);
