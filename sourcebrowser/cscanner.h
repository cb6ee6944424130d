#ifndef SOURCEBROWSER_CSCANNER_H
#define SOURCEBROWSER_CSCANNER_H

#include <QChar>
#include <QList>
#include <QSet>
#include <QString>

#include <string>

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
    void setRawMode(bool raw) { rawMode_ = raw; }

    const QString &tokenText() const { return tokenText_; }
    int tokenLine() const { return tokenLine_; } // one-based line of the last token

    const QString &group() const { return group_; }
    const QString &commentText() const { return commentText_; }
    int commentStartLine() const { return commentStartLine_; } // one-based, -1 for none
    int commentEndLine() const { return commentEndLine_; }
    const QString &overviewText() const { return overviewText_; }
    // Where each overview comment starts: its first line in the overview text
    // (zero-based) and in the file (one-based), in file order.
    const QList<std::pair<int, int>> &overviewOrigins() const { return overviewOrigins_; }

    // The comment kept for the next declaration has been attached to one.
    void markCommentAttached() { attachedComments_.insert(commentStartLine_); }
    // The one-based first lines of the documentation comments ("/*!") that were
    // attached to no declaration, in file order.
    QList<int> unattachedDocumentationComments() const;

private:
    // Where position_ stands once an empty line and its line end were read: before the
    // first line, so that the first read fetches one, and after the last.
    static constexpr int PastEmptyLine = 1;

    void nextChar();
    QChar peekChar() const;
    bool atEnd() const { return atEnd_ && position_ > lineLength_; }
    void readLine();
    bool fetchRawLine(QStringView &line);
    void readDirective(QStringView firstLine);
    int readWord(); // returns the token code
    void skipLiteral(QChar quote);
    void readLineComment();
    void readBlockComment();
    void consumeComment();
    void syncCommentText(); // commentText_ from commentBuffer_

    SourceBrowserLineIterator *lines_;  // where the lines come from; not owned
    SourceBrowserContainer *macroSink_; // where "#define" macros are filed; may be null

    // The line being read and where in it: current_ is the character before position_,
    // and position_ is lineLength_ + 1 once the line's end has been delivered too.
    QStringView lineText_; // in the line source's text, which outlives the parse
    int lineLength_ = 0;
    int position_ = PastEmptyLine;
    QChar current_;      // the current character; EndOfInput after the last line
    int lineNumber_ = 0; // one-based number of lineText_ (directive lines counted)
    bool atEnd_ = false; // the line source is exhausted

    int tokenLine_ = 0;                  // one-based line of the last token
    QString tokenText_;                  // the word of the last identifier or keyword
    bool rawMode_ = false;               // see setRawMode
    QList<SourceBrowserToken> pushback_; // tokens put back, the next one first

    // The most recent block comment, kept for the next declaration; a null text and
    // lines of -1 when there is none (or it was taken by a macro or an overview).
    QString commentText_;
    int commentStartLine_ = -1;
    int commentEndLine_ = -1;
    std::u16string commentBuffer_; // the text of the block comment being read
    bool readingComment_ = false;  // a block comment is being read into commentBuffer_

    QString group_;        // the documentation group open here, empty outside any
    QString overviewText_; // the overview comments, run together
    QList<std::pair<int, int>> overviewOrigins_; // see overviewOrigins()
    int overviewLines_ = 0;                      // line ends in overviewText_
    QList<int> documentationComments_;           // first lines of every "/*!" comment kept
    QSet<int> attachedComments_;                 // first lines of the comments attached
};

#endif
