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
    m_registers << QStringLiteral("r0");
    for (int i = 1; i <= 15; ++i)
        m_registers << QStringLiteral("r%1").arg(i) << QStringLiteral("R%1").arg(i);
    m_registers << QStringLiteral("sr") << QStringLiteral("SR") << QStringLiteral("pc")
                << QStringLiteral("PC") << QStringLiteral("sp") << QStringLiteral("SP");
}

QChar *ZodiDideAssemblyParser::colourLine(const QChar *input, QChar *output) {
    MarkedLineWriter out(output, MarkedLineWriter::NoStyle);
    const QChar *p = input;
    if (m_lineState == StateOutside && *p == QLatin1Char('#')) {
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
            copyBlockComment(p, out, m_lineState);
        } else if (c == QLatin1Char(';') || at(p, '/', '/')) {
            out.emit(StyleComment);
            while (!p->isNull())
                out.put(*p++);
        } else if (isQuote(c.unicode()) || isQuote(m_lineState)) {
            if (!copyLiteral(p, out, m_lineState))
                break;
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
