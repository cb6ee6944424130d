#include "colouring/xmlparser.h"

#include "colouring/markedlinewriter.h"
#include "common/charclass.h"

#include <QLatin1String>

namespace {

bool startsWith(const QChar *p, const char *text) {
    for (; *text; ++p, ++text) {
        if (*p != QLatin1Char(*text))
            return false;
    }
    return true;
}

} // namespace

QChar *ZodiDideXMLParser::colourLine(const QChar *input, QChar *output) {
    MarkedLineWriter out(output);
    // Every line opens with the style of the construct it starts in, so that a comment
    // or tag running over several lines is styled on each of them.
    switch (lineState_) {
    case StateComment:
        out.marker(StyleComment);
        break;
    case StateTag:
        out.marker(StyleAttribute);
        break;
    case StateValue:
        out.marker(StyleLiteral);
        break;
    default:
        lineState_ = StateText;
        out.marker(StyleText);
        break;
    }
    const QChar *p = input;
    while (!p->isNull()) {
        const QChar c = *p;
        switch (lineState_) {
        case StateText:
            if (startsWith(p, "<!--")) {
                out.copyAs(StyleKeyword, p, 2);
                out.copyAs(StyleComment, p, 2);
                lineState_ = StateComment;
            } else if (startsWith(p, "</")) {
                out.copyAs(StyleKeyword, p, 2);
                out.emit(StyleMarkup);
                lineState_ = StateTag;
            } else if (c == QLatin1Char('<')) {
                out.copyAs(StyleKeyword, p, 1);
                out.emit(StyleMarkup);
                while (!p->isNull() && !charclass::isSpace(*p) && *p != QLatin1Char('>'))
                    out.put(*p++);
                if (charclass::isSpace(*p)) {
                    // The space belongs to the name; attributes follow.
                    out.put(*p++);
                    out.emit(StyleAttribute);
                    lineState_ = StateTag;
                } else if (*p == QLatin1Char('>')) {
                    out.copyAs(StyleKeyword, p, 1);
                }
            } else if (c == QLatin1Char('&')) {
                out.emit(StyleMarkup);
                while (!p->isNull()) {
                    const QChar e = *p;
                    out.put(*p++);
                    if (e == QLatin1Char(';'))
                        break;
                }
            } else {
                out.copyAs(StyleText, p, 1);
            }
            break;
        case StateComment:
            if (startsWith(p, "-->")) {
                out.copyAs(StyleComment, p, 2);
                out.copyAs(StyleKeyword, p, 1);
                out.emit(StyleText);
                lineState_ = StateText;
            } else {
                out.put(*p++);
            }
            break;
        case StateTag:
            if (c == QLatin1Char('=')) {
                out.copyAs(StyleDisassembly, p, 1);
                out.emit(StyleAttribute);
            } else if (c == QLatin1Char('"')) {
                out.copyAs(StyleDisassembly, p, 1);
                out.emit(StyleLiteral);
                lineState_ = StateValue;
            } else if (c == QLatin1Char('>') || startsWith(p, "/>")) {
                out.copyAs(StyleKeyword, p, c == QLatin1Char('/') ? 2 : 1);
                out.emit(StyleText);
                lineState_ = StateText;
            } else {
                out.put(*p++);
            }
            break;
        default: // StateValue
            if (c == QLatin1Char('"')) {
                out.copyAs(StyleDisassembly, p, 1);
                out.emit(StyleAttribute);
                lineState_ = StateTag;
            } else {
                out.put(*p++);
            }
            break;
        }
    }
    return out.finish();
}
