#include "tests/docgen/markuptest.h"

#include "docgen/docgen.h"
#include "docgen/interpreter.h"
#include "docgen/programtables.h"

#include <gtest/gtest.h>

QString renderMarkup(DocGen &doc, const QString &markup) {
    programTables().paragraphTag = QStringLiteral("p");
    return interpretMarkup(doc, markup);
}

QString renderMarkup(const QString &markup, int mode) {
    DocGen doc;
    doc.mode = mode;
    doc.formatName.clear();
    return renderMarkup(doc, markup);
}

void checkMarkup(std::initializer_list<MarkupCase> cases, int mode) {
    for (const MarkupCase &c : cases)
        EXPECT_EQ(renderMarkup(QString::fromUtf8(c.markup), mode), QString::fromUtf8(c.body))
            << "markup: " << c.markup;
}

void checkMarkup(DocGen &doc, std::initializer_list<MarkupCase> cases) {
    for (const MarkupCase &c : cases) {
        doc.pageBody.clear();
        EXPECT_EQ(renderMarkup(doc, QString::fromUtf8(c.markup)), QString::fromUtf8(c.body))
            << "markup: " << c.markup;
    }
}

QStringList fileNames(const OutputPageList &pages) {
    QStringList names;
    for (const OutputPage &page : pages)
        names << page.fileName;
    return names;
}
