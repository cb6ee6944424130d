#pragma once

#include "tests/support/printers.h"

#include "docgen/outputpage.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

class DocGen;

// Interprets markup in doc, as the tool does for a manual, and returns the page body.
QString renderMarkup(DocGen &doc, const QString &markup);
// The same in a fresh documentation set in the given mode with no format name.
QString renderMarkup(const QString &markup, int mode = 1);

// One case of markup in, body out.
struct MarkupCase {
    const char *markup;
    const char *body;
};

// Checks each case in a fresh documentation set, or in doc with its body cleared.
void checkMarkup(std::initializer_list<MarkupCase> cases, int mode = 1);
void checkMarkup(DocGen &doc, std::initializer_list<MarkupCase> cases);

// The file names of the pages, in order.
QStringList fileNames(const OutputPageList &pages);
