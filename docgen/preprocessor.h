#pragma once

#include <QString>
#include <QStringList>

class DocGen;
class LineOrigins;

// Reads a manual source line by line, selects its variant sections, splices in the
// sources it includes, and runs the markup interpreter over the result.
void preprocess(DocGen &docGen, const QString &inputPath);

// The first phase alone: the text that reaches the interpreter, its lines joined by
// "\n", with comments, directives and dropped sections removed and included sources
// spliced in. With origins, where each line came from is recorded there and mistakes
// are reported.
QString readManualSource(const DocGen &docGen, const QString &inputPath,
                         LineOrigins *origins = nullptr);
