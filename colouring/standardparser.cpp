#include "colouring/standardparser.h"

#include "colouring/commentsandliterals.h"
#include "colouring/markedlinewriter.h"
#include "colouring/markupcolourer.h"
#include "common/charclass.h"

#include <QLatin1String>

ZodiDideStandardParser::ZodiDideStandardParser(const QStringList &keywords) : keywords_(keywords) {}

QChar *ZodiDideStandardParser::colourLine(const QChar *input, QChar *output) {
    MarkedLineWriter out(output);
    // Where the marker of the latest plain word or white-space run sits: an opening
    // parenthesis right after it turns that run into a function name.
    QChar *lastTextMarker = nullptr;
    const QChar *p = input;
    for (;;) {
        const QChar c = *p;
        if (c.isNull())
            return out.finish();

        if (lineState_ == StateDocText || lineState_ == StateDocCode ||
            (at(p, '/', '*') && p[2] == QLatin1Char('!'))) {
            for (;;) {
                if (lineState_ == StateDocCode) {
                    out.emit(StyleDocKeyword);
                } else {
                    lineState_ = StateDocText;
                    out.emit(StyleComment);
                }
                if (p->isNull())
                    return out.finish();
                colourMarkup(p, out, lineState_);
                if (at(p, '*', '/')) {
                    out.put(*p++);
                    out.put(*p++);
                    lineState_ = StateOutside;
                    break;
                }
            }
            continue;
        }

        if (lineState_ == StateBlockComment || at(p, '/', '*')) {
            copyBlockComment(p, out, lineState_);
            continue;
        }

        if (isQuote(c.unicode()) || isQuote(lineState_)) {
            if (!copyLiteral(p, out, lineState_))
                return out.finish();
            continue;
        }

        if (c == QLatin1Char('#')) {
            out.marker(StyleControl);
            out.put(*p++);
            while (charclass::isAlnum(*p))
                out.put(*p++);
            out.marker(StyleText);
            lineState_ = StateOutside;
            continue;
        }

        if (at(p, '/', '/')) {
            out.copyAs(StyleComment, p, 1);
            out.put(*p++);
            while (!p->isNull()) {
                if (!charclass::isLetter(*p)) {
                    out.put(*p++);
                    continue;
                }
                // Each word gets a run of its own (a spell checker's unit).
                out.marker(StyleComment);
                while (charclass::isLetter(*p) || *p == QLatin1Char('\''))
                    out.put(*p++);
            }
            lineState_ = StateOutside;
            return out.finish();
        }

        if (charclass::isLetter(c) || c == QLatin1Char('_')) {
            const QChar *end = p;
            while (charclass::isAlnum(*end) || *end == QLatin1Char('_'))
                ++end;
            const bool keyword = keywords_.contains(QStringView(p, end - p));
            out.marker(keyword ? StyleKeyword : StyleText);
            lastTextMarker = out.lastMarker();
            while (p != end)
                out.put(*p++);
            continue;
        }

        if (c == QLatin1Char('\\') && lineState_ == StateOutside) {
            out.put(*p++);
            while (charclass::isAlnum(*p))
                out.put(*p++);
            continue;
        }

        if (charclass::isDigit(c) || (c == QLatin1Char('.') && charclass::isDigit(p[1]))) {
            out.emit(StyleLiteral);
            const bool hex =
                c == QLatin1Char('0') && (p[1] == QLatin1Char('x') || p[1] == QLatin1Char('X'));
            const QLatin1Char exponent(hex ? 'p' : 'e');
            const QLatin1Char exponentUpper(hex ? 'P' : 'E');
            out.put(*p++);
            for (;;) {
                const QChar n = *p;
                const bool sign = (n == QLatin1Char('+') || n == QLatin1Char('-')) &&
                                  (p[-1] == exponent || p[-1] == exponentUpper);
                if (!charclass::isAlnum(n) && n != QLatin1Char('.') && !sign)
                    break;
                out.put(*p++);
            }
            continue;
        }

        if (charclass::isPunct(c) && c != QLatin1Char('@') && c != QLatin1Char('$')) {
            if (c == QLatin1Char('(') && out.current() == StyleText && lastTextMarker)
                lastTextMarker[1] = QChar(char16_t(StyleFunction));
            out.copyAs(StyleOperator, p, 1);
            continue;
        }

        if (out.emit(StyleText))
            lastTextMarker = out.lastMarker();
        out.put(*p++);
    }
}
