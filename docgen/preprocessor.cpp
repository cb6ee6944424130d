#include "docgen/preprocessor.h"

#include "docgen/docgen.h"

void preprocess(DocGen &docGen, const QString &inputPath)
{
    // Manual sources are not read yet.
    Q_UNUSED(docGen);
    Q_UNUSED(inputPath);
}
