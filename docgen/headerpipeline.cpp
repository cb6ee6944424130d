#include "docgen/headerpipeline.h"

#include "docgen/docgen.h"

void documentHeader(DocGen &docGen, const QString &inputPath, const QStringList &excludedNames) {
    // Headers are not read yet.
    Q_UNUSED(docGen);
    Q_UNUSED(inputPath);
    Q_UNUSED(excludedNames);
}
