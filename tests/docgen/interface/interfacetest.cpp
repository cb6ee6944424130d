#include "tests/docgen/interface/interfacetest.h"

#include "docgen/docgen.h"
#include "docgen/interpreter.h"
#include "docgen/programtables.h"

QString render(DocGen &doc, const QString &markup) {
    programTables().paragraphTag = QStringLiteral("p");
    return interpretMarkup(doc, markup);
}

QString render(const QString &markup) {
    DocGen doc;
    doc.formatName.clear();
    return render(doc, markup);
}
