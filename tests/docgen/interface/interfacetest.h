#pragma once

#include "tests/support/printers.h"

#include <QString>

class DocGen;

// Interprets markup in doc, as the tool does for a manual, and returns the page body.
QString render(DocGen &doc, const QString &markup);
// The same in a fresh documentation set with the tool's settings (mode 1, no format).
QString render(const QString &markup);

// One case of markup in, body out.
struct MarkupCase {
    const char *markup;
    const char *body;
};

