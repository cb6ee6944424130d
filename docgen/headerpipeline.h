#pragma once

#include <QString>
#include <QStringList>

class DocGen;

// Turns a C/C++ header into one page per documented global declaration and an
// index page for the header.
void documentHeader(DocGen &docGen, const QString &inputPath, const QStringList &excludedNames);
