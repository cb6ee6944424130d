#include "tests/docgen/markuptest.h"

#include "docgen/docgen.h"
#include "docgen/interpreter.h"
#include "docgen/programtables.h"

QString renderMarkup(const QString &markup, int mode) {
    programTables().paragraphTag = QStringLiteral("p");
    DocGen doc;
    doc.mode = mode;
    doc.formatName.clear();
    return interpretMarkup(doc, markup);
}
