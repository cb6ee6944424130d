#include "colouring/markupcolourer.h"

#include "colouring/commentsandliterals.h"
#include "common/charclass.h"

#include <QLatin1String>
#include <QStringView>

namespace {

bool atLineEnd(const QChar *p) {
    return p->isNull() || at(p, '*', '/');
}

void colourCommand(const QChar *&p, MarkedLineWriter &out, int &state) {
    const QChar *nameStart = p + 1;
    const QChar *nameEnd = nameStart;
    while (charclass::isAlnum(*nameEnd))
        ++nameEnd;
    const QStringView name(nameStart, nameEnd - nameStart);
    // Page breaks and titles get an empty run in front of them, which gives an editor
    // an anchor to find them by.
    if (name == QLatin1String("split") || name == QLatin1String("title"))
        out.marker(StyleUnnamed);
    out.emit(StyleDocKeyword);
    while (p != nameEnd)
        out.put(*p++);
    if (name == QLatin1String("endcode")) {
        state = StateDocText;
        return;
    }
    if (name != QLatin1String("code"))
        return;
    state = StateDocCode;
    if (*p != QLatin1Char('{'))
        return;
    out.put(*p++);
    out.emit(StyleDocArgument);
    while (!atLineEnd(p) && *p != QLatin1Char('}'))
        out.put(*p++);
    if (*p == QLatin1Char('}')) {
        out.copyAs(StyleDocKeyword, p, 1);
        out.emit(StyleText);
    }
}

} // namespace

void colourMarkup(const QChar *&input, MarkedLineWriter &output, int &state) {
    const QChar *p = input;
    while (!atLineEnd(p)) {
        const QChar c = *p;
        if (c == QLatin1Char('\\')) {
            if (at(p + 1, '*', '/')) {
                // The comment ends here; the backslash escapes nothing.
                output.put(*p++);
                break;
            }
            if (charclass::isLetter(p[1])) {
                colourCommand(p, output, state);
                continue;
            }
            output.copyAs(StyleDocKeyword, p, 1);
            if (!p->isNull())
                output.put(*p++);
        } else if (c == QLatin1Char('&')) {
            output.emit(StyleMarkup);
            do {
                output.put(*p++);
            } while (!atLineEnd(p) && p[-1] != QLatin1Char(';'));
        } else if (c == QLatin1Char('|')) {
            output.emit(StyleDocKeyword);
            if (p[1] == QLatin1Char('|') && p[2] == QLatin1Char('-')) {
                output.put(*p++);
                output.put(*p++);
                output.put(*p++);
                output.emit(StyleLiteral);
                while (!atLineEnd(p))
                    output.put(*p++);
            } else {
                output.put(*p++);
            }
        } else {
            output.emit(state == StateDocCode ? StyleDocCode : StyleComment);
            output.put(*p++);
        }
    }
    input = p;
}
