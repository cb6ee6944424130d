#pragma once

#include "tests/support/printers.h"

#include <QString>

// Interprets markup in a fresh documentation set (mode 1, empty format name, as the
// tool runs) and returns the page body it wrote.
QString renderMarkup(const QString &markup, int mode = 1);

// One case of markup in, body out.
struct MarkupCase {
    const char *markup;
    const char *body;
};
