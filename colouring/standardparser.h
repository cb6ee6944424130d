#pragma once

#include "colouring/zodidideparser.h"

#include <QSet>
#include <QString>
#include <QStringList>

class MarkedLineWriter;

// Colourer for curly-brace languages: comments and documentation comments, string and
// character literals, numbers, preprocessor lines, words from the keyword lists, calls
// and operators. Subclasses only fill the word lists.
//
// Line states: 0 code, 1 block comment, 3 documentation comment text, 4 code section of
// a documentation comment, or the quote character of a literal continued by a trailing
// backslash.
class ZodiDideStandardParser : public ZodiDideParser {
public:
    ZodiDideStandardParser();

    QChar *colourLine(const QChar *input, QChar *output, int *braceDepth) override;

protected:
    // When false, words are lower-cased before lookup and the lists hold lower-case words.
    bool caseSensitive = true;

private:
    int wordStyle(QStringView word);
    void colourBlockCommentBody(const QChar *&p, MarkedLineWriter &out);
    bool colourLiteral(const QChar *&p, MarkedLineWriter &out);

    // Hash sets built from the word lists on first use, so that lookups stay constant
    // time however long the lists are.
    bool m_wordSetsBuilt = false;
    QSet<QString> m_keywordSet;
    QSet<QString> m_controlWordSet;
};

// Supplies the three lists of marker words (such as FIXME) that are highlighted at the
// start of a comment. They are shared by every colourer of this kind and empty unless a
// host supplies them.
void setCommentMarkerWords(const QStringList &first, const QStringList &second,
                           const QStringList &third);
