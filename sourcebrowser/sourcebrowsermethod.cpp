#include "sourcebrowser/sourcebrowsermethod.h"

#include "common/textappender.h"

#include "sourcebrowser/replaceevery.h"

namespace {

const QChar NoBreakSpace(0x00A0);

} // namespace

QString SourceBrowserArgument::text(int flags) const {
    const bool inside = namePosition >= 0 && namePosition < type.size();
    QString s = inside ? type.left(namePosition) : type + QLatin1Char(' ');
    if (s.endsWith(QLatin1String("* ")) || s.endsWith(QLatin1String("& ")))
        s.chop(1);
    if (!name.isEmpty()) {
        if ((flags & SynopsisStripReservedPrefix) && name.startsWith(QLatin1String("__")))
            s += QStringView(name).mid(2);
        else
            s += name;
    }
    if (inside)
        s += QStringView(type).mid(namePosition);
    return s.simplified();
}

SourceBrowserMethod::SourceBrowserMethod() : SourceBrowserVariable(KindMethod) {}

QString SourceBrowserMethod::synopsis(int flags) const {
    // Made in room for all of it: the arguments' texts and, one to a line, the
    // indentation of each.
    qsizetype size = type.size() + name.size() + 4;
    for (const SourceBrowserArgument &argument : arguments)
        size += argument.type.size() + argument.name.size() + 4 + type.size() + name.size() + 2;
    QString r;
    r.reserve(size);
    TextAppender text(r);
    if (flags & SynopsisReturnType) {
        text += type;
        if (flags & SynopsisReturnTypeOnOwnLine)
            text += QLatin1Char('\n');
        else if (!r.endsWith(QLatin1Char('*')))
            text += QLatin1Char(' ');
    }
    text += name;
    // A no-break space keeps "name (" apart through the tightening below; it becomes
    // an ordinary space at the end.
    if (!(flags & SynopsisNoSpaceBeforeParenthesis))
        text += NoBreakSpace;
    text += QLatin1Char('(');

    int column = 0;
    for (int i = 0; i < arguments.size(); ++i) {
        if (i == 0) {
            column = r.size();
        } else if (flags & SynopsisArgumentPerLine) {
            text += QLatin1String(",\n");
            for (int space = 0; space < column; ++space)
                text += QLatin1Char(' ');
        } else {
            text += QLatin1String(", ");
        }
        text += arguments.at(i).text(flags);
    }
    text += QLatin1Char(')');

    replaceEvery(r, QLatin1String("* "), QLatin1String("*"));
    replaceEvery(r, QLatin1String("& "), QLatin1String("&"));
    replaceEvery(r, QLatin1String(" )"), QLatin1String(")"));
    replaceEvery(r, QLatin1String("( "), QLatin1String("("));
    replaceEvery(r, QLatin1String(" ,"), QLatin1String(","));
    r.replace(NoBreakSpace, QLatin1Char(' '));
    replaceEvery(r, QLatin1String("()"), QLatin1String("(void)"));
    return r;
}

QString SourceBrowserMethod::signatureKey() const {
    // The scanner makes no token of a NUL, so no name or type holds one: it separates
    // them safely.
    qsizetype size = name.size();
    for (const SourceBrowserArgument &argument : arguments)
        size += 1 + argument.type.size();
    QString key;
    if (size > 0)
        key.reserve(size);
    TextAppender text(key);
    text += name;
    for (const SourceBrowserArgument &argument : arguments) {
        text += QChar(0);
        text += argument.type;
    }
    return key;
}
