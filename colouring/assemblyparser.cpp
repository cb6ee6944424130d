#include "colouring/assemblyparser.h"

#include "colouring/commentsandliterals.h"
#include "colouring/markedlinewriter.h"
#include "common/charclass.h"

#include <QLatin1String>

namespace {

bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c == QLatin1Char('.') || c == QLatin1Char('@');
}

} // namespace

ZodiDideAssemblyParser::ZodiDideAssemblyParser() {
    // Only the lower-case spelling of r0 is a register name.
    registers_.insert(QStringLiteral("r0"));
    for (int i = 1; i <= 15; ++i) {
        registers_.insert(QStringLiteral("r%1").arg(i));
        registers_.insert(QStringLiteral("R%1").arg(i));
    }
    for (const char *name : {"sr", "SR", "pc", "PC", "sp", "SP"})
        registers_.insert(QLatin1String(name));
}

QChar *ZodiDideAssemblyParser::colourLine(const QChar *input, QChar *output) {
    MarkedLineWriter out(output, MarkedLineWriter::NoStyle);
    const QChar *p = input;
    if (lineState_ == StateOutside && *p == QLatin1Char('#')) {
        out.emit(StyleControl);
        while (!p->isNull())
            out.put(*p++);
        return out.finish();
    }
    // Counts the runs of white space met so far: the word after the first one is the
    // instruction.
    int field = 0;
    while (!p->isNull()) {
        const QChar c = *p;
        if (lineState_ == StateBlockComment || at(p, '/', '*')) {
            copyBlockComment(p, out, lineState_);
        } else if (c == QLatin1Char(';') || at(p, '/', '/')) {
            out.emit(StyleComment);
            while (!p->isNull())
                out.put(*p++);
        } else if (isQuote(c.unicode()) || isQuote(lineState_)) {
            if (!copyLiteral(p, out, lineState_))
                break;
        } else if (charclass::isLetter(c) || c == QLatin1Char('.')) {
            const QChar *end = p;
            while (isWordChar(*end))
                ++end;
            int style = StyleText;
            if (field == 1)
                style = StyleKeyword;
            else if (registers_.contains(QStringView(p, end - p)))
                style = StyleRegister;
            out.emit(style);
            while (p != end)
                out.put(*p++);
        } else if (charclass::isDigit(c) ||
                   (c == QLatin1Char('$') && charclass::isHexDigit(p[1]))) {
            out.copyAs(StyleLiteral, p, 1);
            while (charclass::isAlnum(*p))
                out.put(*p++);
        } else if (charclass::isPunct(c)) {
            out.copyAs(StyleOperator, p, 1);
        } else if (charclass::isSpace(c)) {
            while (charclass::isSpace(*p))
                out.put(*p++);
            ++field;
        } else {
            out.copyAs(StyleText, p, 1);
        }
    }
    return out.finish();
}
