#include "colouring/standardparser.h"

#include "colouring/charclass.h"
#include "colouring/markedlinewriter.h"
#include "colouring/markupcolourer.h"

#include <QLatin1String>

namespace {

constexpr int StateCode = 0;
constexpr int StateBlockComment = 1;
constexpr int StateDocText = 3;
constexpr int StateDocCode = 4;

bool isQuote(int c) {
    return c == '"' || c == '\'';
}

bool at(const QChar *p, char a, char b) {
    return p[0] == QLatin1Char(a) && p[1] == QLatin1Char(b);
}

} // namespace

ZodiDideStandardParser::ZodiDideStandardParser(const QStringList &keywords)
    : m_keywords(keywords.begin(), keywords.end()) {}

// Copies comment text up to and including "*/" (which ends the comment) or to the end
// of the line (which leaves it open).
void ZodiDideStandardParser::colourBlockCommentBody(const QChar *&p, MarkedLineWriter &out) {
    while (!p->isNull()) {
        if (at(p, '*', '/')) {
            out.put(*p++);
            out.put(*p++);
            m_lineState = StateCode;
            return;
        }
        out.put(*p++);
    }
}

// Copies a string or character literal; returns false when the line ended inside it.
bool ZodiDideStandardParser::colourLiteral(const QChar *&p, MarkedLineWriter &out) {
    out.emit(StyleLiteral);
    if (!isQuote(m_lineState)) {
        m_lineState = p->unicode();
        out.put(*p++);
    }
    // On a continuation line the first character may already close the literal.
    const QChar quote{char16_t(m_lineState)};
    for (;;) {
        const QChar c = *p;
        if (c.isNull()) {
            m_lineState = StateCode;
            return false;
        }
        if (c == QLatin1Char('\\')) {
            out.put(*p++);
            if (p->isNull())
                return false; // continued on the next line
            out.put(*p++);
            continue;
        }
        out.put(*p++);
        if (c == quote) {
            m_lineState = StateCode;
            return true;
        }
    }
}

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

        if (m_lineState == StateDocText || m_lineState == StateDocCode ||
            (at(p, '/', '*') && p[2] == QLatin1Char('!'))) {
            for (;;) {
                if (m_lineState == StateDocCode) {
                    out.emit(StyleDocKeyword);
                } else {
                    m_lineState = StateDocText;
                    out.emit(StyleComment);
                }
                if (p->isNull())
                    return out.finish();
                colourMarkup(p, out, m_lineState);
                if (at(p, '*', '/')) {
                    out.put(*p++);
                    out.put(*p++);
                    m_lineState = StateCode;
                    break;
                }
            }
            continue;
        }

        if (at(p, '/', '*') && m_lineState != StateBlockComment) {
            out.emit(StyleComment);
            out.put(*p++);
            out.put(*p++);
            m_lineState = StateBlockComment;
        }
        if (m_lineState == StateBlockComment) {
            out.emit(StyleComment);
            colourBlockCommentBody(p, out);
            continue;
        }

        if (isQuote(c.unicode()) || isQuote(m_lineState)) {
            if (!colourLiteral(p, out))
                return out.finish();
            continue;
        }

        if (c == QLatin1Char('#')) {
            out.marker(StyleControl);
            out.put(*p++);
            while (charclass::isAlnum(*p))
                out.put(*p++);
            out.marker(StyleText);
            m_lineState = StateCode;
            continue;
        }

        if (at(p, '/', '/')) {
            out.emit(StyleComment);
            out.put(*p++);
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
            m_lineState = StateCode;
            return out.finish();
        }

        if (charclass::isLetter(c) || c == QLatin1Char('_')) {
            const QChar *end = p;
            while (charclass::isAlnum(*end) || *end == QLatin1Char('_'))
                ++end;
            const bool keyword = m_keywords.contains(QString::fromRawData(p, end - p));
            out.marker(keyword ? StyleKeyword : StyleText);
            lastTextMarker = out.lastMarker();
            while (p != end)
                out.put(*p++);
            continue;
        }

        if (c == QLatin1Char('\\') && m_lineState == StateCode) {
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
            out.emit(StyleOperator);
            out.put(*p++);
            continue;
        }

        if (out.emit(StyleText))
            lastTextMarker = out.lastMarker();
        out.put(*p++);
    }
}
