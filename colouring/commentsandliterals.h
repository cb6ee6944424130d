#pragma once

#include <QChar>

class MarkedLineWriter;

// What the curly-brace and the assembly colourers read alike: two-character
// delimiters, block comments and quoted literals that a trailing backslash continues.

// The line states both colourers have. A literal continued by a trailing backslash
// leaves its quote character as the state.
enum CommentOrLiteralState {
    StateOutside = 0, // where every colourer starts
    StateBlockComment = 1,
};

// Whether the two characters at p are a and b.
inline bool at(const QChar *p, char a, char b) {
    return p[0] == QLatin1Char(a) && p[1] == QLatin1Char(b);
}

// Whether c, a character or a line state, is the quote of a literal.
inline bool isQuote(int c) {
    return c == '"' || c == '\'';
}

// Copies a block comment as a comment run: from its "/*" at p, or from the start of the
// line when state is StateBlockComment, up to and including "*/", which sets the state
// to StateOutside, or to the end of the line, which leaves it StateBlockComment.
void copyBlockComment(const QChar *&p, MarkedLineWriter &out, int &state);

// Copies a literal as a literal run: from its opening quote at p, or from the start of
// the line when state holds the quote of a literal continued from the line before (its
// first character may close it). The closing quote or the end of the line sets the
// state to StateOutside; a backslash at the end of the line leaves the quote in state.
// Returns false when the line ended inside the literal.
bool copyLiteral(const QChar *&p, MarkedLineWriter &out, int &state);
