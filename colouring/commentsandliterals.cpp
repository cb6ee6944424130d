#include "colouring/commentsandliterals.h"

#include "colouring/markedlinewriter.h"

void copyBlockComment(const QChar *&p, MarkedLineWriter &out, int &state) {
    out.emit(StyleComment);
    if (state != StateBlockComment) {
        out.put(*p++);
        out.put(*p++);
        state = StateBlockComment;
    }
    while (!p->isNull()) {
        if (at(p, '*', '/')) {
            out.put(*p++);
            out.put(*p++);
            state = StateOutside;
            return;
        }
        out.put(*p++);
    }
}

bool copyLiteral(const QChar *&p, MarkedLineWriter &out, int &state) {
    out.emit(StyleLiteral);
    if (!isQuote(state)) {
        state = p->unicode();
        out.put(*p++);
    }
    const QChar quote{char16_t(state)};
    for (;;) {
        const QChar c = *p;
        if (c.isNull()) {
            state = StateOutside;
            return false;
        }
        out.put(*p++);
        if (c == QLatin1Char('\\')) {
            if (p->isNull())
                return false; // continued on the next line
            out.put(*p++);
        } else if (c == quote) {
            state = StateOutside;
            return true;
        }
    }
}
