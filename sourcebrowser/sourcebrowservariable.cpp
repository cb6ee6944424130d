#include "sourcebrowser/sourcebrowservariable.h"

#include "common/textappender.h"

#include "sourcebrowser/replaceevery.h"

SourceBrowserVariable::SourceBrowserVariable(int kind) {
    this->kind = kind;
}

QString SourceBrowserVariable::synopsis(int) const {
    const bool inside = hasNameInside();
    // Made in room for all of it, and room for what the tightening below may add.
    QString s;
    s.reserve(type.size() + name.size() + 8);
    TextAppender text(s);
    if (inside) {
        text += QStringView(type).left(namePosition);
    } else {
        text += type;
        text += QLatin1Char(' ');
    }
    text += name;
    if (inside)
        text += QStringView(type).mid(namePosition);

    // The type text is a run of tokens each followed by a space; tighten it into
    // conventional C spelling. The order matters: "()" is widened before " )"
    // is tightened, so "( )" stays apart.
    replaceEvery(s, QLatin1String("( * "), QLatin1String("(*"));
    replaceEvery(s, QLatin1String("( *"), QLatin1String("(*"));
    replaceEvery(s, QLatin1String("* )"), QLatin1String("*)"));
    replaceEvery(s, QLatin1String(" * "), QLatin1String(" *"));
    replaceEvery(s, QLatin1String("()"), QLatin1String("(void)"));
    replaceEvery(s, QLatin1String(" )"), QLatin1String(")"));
    replaceEvery(s, QLatin1String("( "), QLatin1String("("));
    // Tightening " , ," leaves a new " ,": repeat until none is left.
    while (replaceEvery(s, QLatin1String(" ,"), QLatin1String(",")))
        continue;

    if (kind == KindTypedef)
        return QLatin1String("typedef ") + s;
    return s;
}

SourceBrowserEnum::SourceBrowserEnum() : SourceBrowserVariable(KindEnum) {}

QString SourceBrowserEnum::synopsis(int) const {
    return QLatin1String("typedef enum {\n  ") + values.join(QLatin1String(",\n  ")) +
           QLatin1String("\n} ") + name;
}
