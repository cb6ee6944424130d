#ifndef SOURCEBROWSER_CSCANNER_H
#define SOURCEBROWSER_CSCANNER_H

#include <QChar>
#include <QList>
#include <QSet>
#include <QString>

class SourceBrowserContainer;
class SourceBrowserLineIterator;

// Token codes. Single-character tokens use the character's own code; 0 is the end
// of input.
enum SourceBrowserTokenCode {
    TokenEnd = 0,
    TokenClass = 256,
    TokenExtern = 257,
    TokenPublic = 258, // also "signals"
    TokenProtected = 259,
    TokenPrivate = 260,
    TokenConst = 261,
    TokenVolatile = 262,
    TokenRegister = 263,
    TokenUnion = 264,
    TokenStatic = 265,
    TokenVirtual = 266,
    TokenEnum = 267,
    TokenTypedef = 268,
    TokenFriend = 269,
    TokenStruct = 270,
    TokenUsing = 271,
    TokenOperator = 272,
    TokenTemplate = 273,
    TokenThrow = 274,
    TokenNamespace = 275,
    TokenEllipsis = 276,
    TokenIdentifier = 277,
    TokenScope = 278,  // "::"
    TokenNumber = 279, // number or character literal
    TokenString = 280,
};

struct SourceBrowserToken {
    int code = TokenEnd;
    QString text; // the word, for identifiers

    // The token as it reads in declaration text: the character itself for single
    // characters, "const", "volatile", "...", "::", the word of an identifier, and
    // nothing for other keywords and for literals.
    static QString textOf(int code, const QString &text);
};

// Splits the lines of one C/C++ header into tokens.
//
// On the way it swallows preprocessor lines (with their continuation lines) and
// files every "#define" as a macro in the macro sink, keeps the most recent block
// comment for the parser to attach to the next declaration, collects overview
// comments ("/*!! ... */", "/*! \overview ... */") and follows the group markers
// ("/*! \group Name */" ... "/*! \endgroup */"). Line comments never carry
// documentation.
//
// Line numbers are one-based and exact across continuation lines.
class SourceBrowserCScanner {
public:
    // `macroSink` may be null. Reads the first character at once.
    SourceBrowserCScanner(SourceBrowserLineIterator *lines, SourceBrowserContainer *macroSink);
    SourceBrowserCScanner(const SourceBrowserCScanner &) = delete;
    SourceBrowserCScanner &operator=(const SourceBrowserCScanner &) = delete;

    // The next token's code; for words the text is in tokenText().
    int nextToken();
    // Puts a token in front of the input; the last one pushed comes back first.
    void pushBack(int code, const QString &text);
    // While set, every word is an identifier whose text is not kept and nothing is
    // dropped: used to skip bracketed groups quickly.
    void setRawMode(bool raw) { m_rawMode = raw; }

    const QString &tokenText() const { return m_tokenText; }
    int tokenLine() const { return m_tokenLine; } // one-based line of the last token

    const QString &group() const { return m_group; }
    const QString &commentText() const { return m_commentText; }
    int commentStartLine() const { return m_commentStartLine; } // one-based, -1 for none
    int commentEndLine() const { return m_commentEndLine; }
    const QString &overviewText() const { return m_overviewText; }
    // Where each overview comment starts: its first line in the overview text
    // (zero-based) and in the file (one-based), in file order.
    const QList<std::pair<int, int>> &overviewOrigins() const { return m_overviewOrigins; }

    // The comment kept for the next declaration has been attached to one.
    void markCommentAttached() { m_attachedComments.insert(m_commentStartLine); }
    // The one-based first lines of the documentation comments ("/*!") that were
    // attached to no declaration, in file order.
    QList<int> unattachedDocumentationComments() const;

private:
    void nextChar();
    QChar peekChar() const;
    bool atEnd() const { return m_atEnd && m_position > m_lineLength; }
    void readLine();
    bool fetchRawLine(QString &line);
    void readDirective(const QString &firstLine);
    int readWord(); // returns the token code
    void skipLiteral(QChar quote);
    void readLineComment();
    void readBlockComment();
    void consumeComment();

    SourceBrowserLineIterator *m_lines;
    SourceBrowserContainer *m_macroSink;

    QString m_group;
    int m_position = 99; // past the empty initial line, so the first read fetches one
    int m_tokenLine = 0;
    bool m_rawMode = false;
    bool m_atEnd = false;
    int m_lineNumber = 0;
    int m_lineLength = 0;
    QString m_lineText;
    QString m_spareLine; // the buffer the next line is read into
    QString m_tokenText;
    QString m_commentText;
    qsizetype m_previousCommentLength = 0;
    int m_commentStartLine = -1;
    int m_commentEndLine = -1;
    QString m_overviewText;
    QList<std::pair<int, int>> m_overviewOrigins;
    int m_overviewLines = 0;            // line ends in m_overviewText
    QList<int> m_documentationComments; // first lines of every "/*!" comment kept
    QSet<int> m_attachedComments;       // first lines of the comments attached
    QChar m_current;
    QList<SourceBrowserToken> m_pushback;
};

#endif
