#pragma once

#include "colouring/zodidideparser.h"

#include <QSet>
#include <QString>
#include <QStringList>

class MarkedLineWriter;

// Colourer for curly-brace languages: comments and documentation comments, string and
// character literals, numbers, preprocessor lines, words from the keyword lists, calls
// and operators. Subclasses only supply the keywords.
//
// Line states: 0 code, 1 block comment, 3 documentation comment text, 4 code section of
// a documentation comment, or the quote character of a literal continued by a trailing
// backslash.
class ZodiDideStandardParser : public ZodiDideParser {
public:
    QChar *colourLine(const QChar *input, QChar *output) override;

protected:
    // The keywords match with exact case.
    explicit ZodiDideStandardParser(const QStringList &keywords);

private:
    void colourBlockCommentBody(const QChar *&p, MarkedLineWriter &out);
    bool colourLiteral(const QChar *&p, MarkedLineWriter &out);

    QSet<QString> m_keywords;
};
