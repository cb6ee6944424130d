#include "colouring/styles.h"

#include <QLatin1String>

QString styleName(int id) {
    static const char *const names[] = {
        "text",    "literal",     "comment",      "keyword",  "disassembly", "markup",
        "control", "operator",    "register",     "function", "fixme",       "attention",
        "",        "doc-keyword", "doc-argument", "doc-code", "attribute",
    };
    if (id < 0 || id >= int(sizeof(names) / sizeof(names[0])))
        return QString();
    return QLatin1String(names[id]);
}
