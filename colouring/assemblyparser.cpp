#include "colouring/assemblyparser.h"

#include "colouring/charclass.h"
#include "colouring/markedlinewriter.h"

#include <QLatin1String>

namespace {

constexpr int StateNormal = 0;
constexpr int StateBlockComment = 1;

bool isQuote(int c) {
    return c == '"' || c == '\'';
}

bool at(const QChar *p, char a, char b) {
    return p[0] == QLatin1Char(a) && p[1] == QLatin1Char(b);
}

bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c == QLatin1Char('.') || c == QLatin1Char('@');
}

} // namespace

ZodiDideAssemblyParser::ZodiDideAssemblyParser() {
    // Only the lower-case spelling of r0 is a register name.
    m_registers << QStringLiteral("r0");
    for (int i = 1; i <= 15; ++i)
        m_registers << QStringLiteral("r%1").arg(i) << QStringLiteral("R%1").arg(i);
    m_registers << QStringLiteral("sr") << QStringLiteral("SR") << QStringLiteral("pc")
                << QStringLiteral("PC") << QStringLiteral("sp") << QStringLiteral("SP");
}

QChar *ZodiDideAssemblyParser::colourLine(const QChar *input, QChar *output) {
    MarkedLineWriter out(output, MarkedLineWriter::NoStyle);
    const QChar *p = input;
    if (m_lineState == StateNormal && *p == QLatin1Char('#')) {
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
        if (m_lineState == StateBlockComment || at(p, '/', '*')) {
            out.emit(StyleComment);
            if (m_lineState != StateBlockComment) {
                out.put(*p++);
                out.put(*p++);
                m_lineState = StateBlockComment;
            }
            while (!p->isNull()) {
                if (at(p, '*', '/')) {
                    out.put(*p++);
                    out.put(*p++);
                    m_lineState = StateNormal;
                    break;
                }
                out.put(*p++);
            }
        } else if (c == QLatin1Char(';') || at(p, '/', '/')) {
            out.emit(StyleComment);
            while (!p->isNull())
                out.put(*p++);
        } else if (isQuote(c.unicode()) || isQuote(m_lineState)) {
            out.emit(StyleLiteral);
            if (!isQuote(m_lineState)) {
                m_lineState = c.unicode();
                out.put(*p++);
            }
            // A continued string may be closed by the first character of the line.
            const QChar quote{char16_t(m_lineState)};
            for (;;) {
                const QChar s = *p;
                if (s.isNull()) {
                    m_lineState = StateNormal;
                    break;
                }
                out.put(*p++);
                if (s == QLatin1Char('\\')) {
                    if (p->isNull())
                        return out.finish(); // continued on the next line
                    out.put(*p++);
                } else if (s == quote) {
                    m_lineState = StateNormal;
                    break;
                }
            }
        } else if (charclass::isLetter(c) || c == QLatin1Char('.')) {
            const QChar *end = p;
            while (isWordChar(*end))
                ++end;
            int style = StyleText;
            if (field == 1)
                style = StyleKeyword;
            else if (m_registers.contains(QString::fromRawData(p, end - p)))
                style = StyleRegister;
            out.emit(style);
            while (p != end)
                out.put(*p++);
        } else if (charclass::isDigit(c) ||
                   (c == QLatin1Char('$') && charclass::isHexDigit(p[1]))) {
            out.emit(StyleLiteral);
            out.put(*p++);
            while (charclass::isAlnum(*p))
                out.put(*p++);
        } else if (charclass::isPunct(c)) {
            out.emit(StyleOperator);
            out.put(*p++);
        } else if (charclass::isSpace(c)) {
            while (charclass::isSpace(*p))
                out.put(*p++);
            ++field;
        } else {
            out.emit(StyleText);
            out.put(*p++);
        }
    }
    return out.finish();
}
