#include "sourcebrowser/cscanner.h"

#include "common/asciimatch.h"
#include "common/charclass.h"
#include "common/findeither.h"
#include "sourcebrowser/lineiterator.h"
#include "sourcebrowser/sourcebrowsercontainer.h"

#include <vector>

namespace {

const QChar EndOfInput(0xFFFF);

// Words the declaration parser has no use for; they read like white space.
const int DroppedWord = -1;

struct Keyword {
    QString text;
    int code;
};

constexpr qsizetype ShortestKeyword = 4;
constexpr qsizetype LongestKeyword = 9;

// The keywords by length: a word is compared with the few of its length, and no word
// is hashed or copied to be looked up.
const std::vector<Keyword> *keywordsByLength() {
    static const std::vector<Keyword> *const table = [] {
        // Literals: copies of their text share static characters and so count no
        // references, which the threads parsing headers side by side would otherwise
        // contend for on every keyword.
        static const Keyword list[] = {
            {QStringLiteral("class"), TokenClass},
            {QStringLiteral("extern"), TokenExtern},
            {QStringLiteral("public"), TokenPublic},
            {QStringLiteral("signals"), TokenPublic},
            {QStringLiteral("protected"), TokenProtected},
            {QStringLiteral("private"), TokenPrivate},
            {QStringLiteral("const"), TokenConst},
            {QStringLiteral("volatile"), TokenVolatile},
            {QStringLiteral("register"), TokenRegister},
            {QStringLiteral("union"), TokenUnion},
            {QStringLiteral("static"), TokenStatic},
            {QStringLiteral("virtual"), TokenVirtual},
            {QStringLiteral("enum"), TokenEnum},
            {QStringLiteral("typedef"), TokenTypedef},
            {QStringLiteral("friend"), TokenFriend},
            {QStringLiteral("struct"), TokenStruct},
            {QStringLiteral("using"), TokenUsing},
            {QStringLiteral("operator"), TokenOperator},
            {QStringLiteral("template"), TokenTemplate},
            {QStringLiteral("throw"), TokenThrow},
            {QStringLiteral("namespace"), TokenNamespace},
            {QStringLiteral("inline"), DroppedWord},
            {QStringLiteral("Q_OBJECT"), DroppedWord},
            {QStringLiteral("slots"), DroppedWord},
        };
        static std::vector<Keyword> byLength[LongestKeyword + 1];
        for (const Keyword &keyword : list) {
            Q_ASSERT(keyword.text.size() >= ShortestKeyword &&
                     keyword.text.size() <= LongestKeyword);
            byLength[keyword.text.size()].push_back(keyword);
        }
        return byLength;
    }();
    return table;
}

// The keyword that word spells, or null for any other word.
const Keyword *findKeyword(QStringView word) {
    if (word.size() < ShortestKeyword || word.size() > LongestKeyword)
        return nullptr;
    for (const Keyword &keyword : keywordsByLength()[word.size()]) {
        if (keyword.text.front() == word.front() && keyword.text == word)
            return &keyword;
    }
    return nullptr;
}

bool isOctalDigit(QChar c) {
    const char16_t u = c.unicode();
    return u >= '0' && u <= '7';
}

bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool isSingleCharToken(QChar c) {
    switch (c.unicode()) {
    case '!':
    case '&':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '/':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '?':
    case '[':
    case ']':
    case '^':
    case '{':
    case '}':
    case '~':
        return true;
    default:
        return false;
    }
}

bool isDirective(QStringView line) {
    for (QChar c : line) {
        if (!c.isSpace())
            return c == QLatin1Char('#');
    }
    return false;
}

// The first sixteen characters of text.simplified(), without simplifying the rest, in
// room of their own: only the start of a comment decides its kind.
struct CommentStart {
    char16_t chars[16];
    qsizetype size = 0;
    QStringView view() const { return QStringView(chars, size); }
};
CommentStart simplifiedStart(QStringView text) {
    CommentStart start;
    const qsizetype limit = qsizetype(sizeof start.chars / sizeof start.chars[0]);
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && text[i].isSpace())
        ++i;
    while (i < size && start.size < limit) {
        if (!text[i].isSpace()) {
            start.chars[start.size++] = text[i++].unicode();
            continue;
        }
        while (i < size && text[i].isSpace())
            ++i;
        if (i < size)
            start.chars[start.size++] = u' ';
    }
    return start;
}

} // namespace

QString SourceBrowserToken::textOf(int code, const QString &text) {
    if (code >= 32 && code <= 255) {
        // Copies of static characters: declaration text is built from many punctuation
        // tokens, on several threads, and copies of shared strings would count
        // references to them there.
        static const struct Characters {
            char16_t of[256];
            Characters() {
                for (int c = 0; c < 256; ++c)
                    of[c] = char16_t(c);
            }
        } characters;
        return QString::fromRawData(reinterpret_cast<const QChar *>(characters.of + code), 1);
    }
    switch (code) {
    case TokenConst:
        return QStringLiteral("const");
    case TokenVolatile:
        return QStringLiteral("volatile");
    case TokenEllipsis:
        return QStringLiteral("...");
    case TokenIdentifier:
        return text;
    case TokenScope:
        return QStringLiteral("::");
    default:
        return QString();
    }
}

SourceBrowserCScanner::SourceBrowserCScanner(SourceBrowserLineIterator *lines,
                                             SourceBrowserContainer *macroSink)
    : lines_(lines), macroSink_(macroSink) {
    nextChar();
}

void SourceBrowserCScanner::nextChar() {
    if (position_ < lineLength_) {
        current_ = lineText_.at(position_++);
        return;
    }
    if (position_ == lineLength_) {
        ++position_;
        current_ = QLatin1Char('\n');
        return;
    }
    if (atEnd_) {
        current_ = EndOfInput;
        return;
    }
    readLine();
}

QChar SourceBrowserCScanner::peekChar() const {
    if (position_ < lineLength_)
        return lineText_.at(position_);
    if (position_ == lineLength_)
        return QLatin1Char('\n');
    return EndOfInput;
}

bool SourceBrowserCScanner::fetchRawLine(QStringView &line) {
    if (!lines_ || !lines_->getLine(line)) {
        atEnd_ = true;
        current_ = EndOfInput;
        lineText_ = QStringView();
        lineLength_ = 0;
        position_ = PastEmptyLine;
        return false;
    }
    return true;
}

void SourceBrowserCScanner::readLine() {
    QStringView line;
    bool afterDirective = false;
    for (;;) {
        if (!fetchRawLine(line))
            return;
        // The directive's own line is counted once the line after it exists.
        if (afterDirective)
            ++lineNumber_;
        if (!isDirective(line)) {
            ++lineNumber_;
            lineText_ = line;
            lineLength_ = int(lineText_.size());
            position_ = 0;
            nextChar();
            return;
        }
        readDirective(line);
        if (atEnd_)
            return;
        afterDirective = true;
    }
}

void SourceBrowserCScanner::readDirective(QStringView firstLine) {
    // Not yet incremented for this line, so this is its zero-based index.
    const int directiveLine = lineNumber_;

    QString directive = firstLine.toString();
    QStringView raw = firstLine;
    while (raw.endsWith(QLatin1Char('\\'))) {
        if (!fetchRawLine(raw))
            return;
        directive += QLatin1String("\n   ");
        directive += raw.trimmed();
        ++lineNumber_;
    }

    // Only the canonical spelling records a macro; "# define" and indented
    // directives are passed over.
    if (!directive.startsWith(QLatin1String("#define")))
        return;
    int i = 7;
    while (i < directive.size() && directive.at(i).isSpace())
        ++i;
    const int start = i;
    while (i < directive.size() &&
           (directive.at(i).isLetterOrNumber() || directive.at(i) == QLatin1Char('_')))
        ++i;

    auto *macro = new SourceBrowserMacro;
    macro->name = directive.mid(start, i - start);
    macro->text = directive;
    macro->declarationLine = directiveLine;
    // A directive line inside a block comment sees the comment as read so far.
    if (readingComment_)
        syncCommentText();
    if (commentEndLine_ >= 0) {
        const int distance = directiveLine - commentEndLine_;
        if (distance == 0 || distance == 1) {
            macro->comment = commentText_;
            macro->commentLine = commentStartLine_;
            markCommentAttached();
            consumeComment();
        }
    }
    if (macroSink_)
        macroSink_->addObject(macro);
    else
        delete macro;
}

void SourceBrowserCScanner::syncCommentText() {
    commentText_ = commentBuffer_.empty()
                       ? QString()
                       : QString(reinterpret_cast<const QChar *>(commentBuffer_.data()),
                                 qsizetype(commentBuffer_.size()));
}

void SourceBrowserCScanner::consumeComment() {
    commentText_.clear();
    commentBuffer_.clear();
    commentStartLine_ = -1;
    commentEndLine_ = -1;
}

void SourceBrowserCScanner::pushBack(int code, const QString &text) {
    pushback_.prepend(SourceBrowserToken{code, text});
}

int SourceBrowserCScanner::nextToken() {
    if (!pushback_.isEmpty()) {
        const SourceBrowserToken token = pushback_.takeFirst();
        tokenText_ = token.text;
        return token.code;
    }

    for (;;) {
        while (!atEnd() && current_.isSpace())
            nextChar();
        tokenLine_ = lineNumber_;
        if (atEnd())
            return TokenEnd;

        const QChar c = current_;
        if (c == QLatin1Char('L') &&
            (peekChar() == QLatin1Char('\'') || peekChar() == QLatin1Char('"'))) {
            nextChar();
            const QChar quote = current_;
            skipLiteral(quote);
            return quote == QLatin1Char('"') ? TokenString : TokenNumber;
        }
        if (charclass::isLetter(c) || c == QLatin1Char('_')) {
            if (rawMode_) {
                while (isWordChar(current_))
                    nextChar();
                return TokenIdentifier;
            }
            const int code = readWord();
            if (code == DroppedWord)
                continue;
            return code;
        }
        if (charclass::isDigit(c)) {
            while (charclass::isAlnum(current_))
                nextChar();
            return TokenNumber;
        }
        if (c == QLatin1Char('\'')) {
            skipLiteral(c);
            return TokenNumber;
        }
        if (c == QLatin1Char('"')) {
            skipLiteral(c);
            return TokenString;
        }
        if (c == QLatin1Char('.')) {
            if (peekChar() == QLatin1Char('.')) {
                nextChar();
                nextChar();
                nextChar();
                return TokenEllipsis;
            }
            nextChar();
            return '.';
        }
        if (c == QLatin1Char(':')) {
            nextChar();
            if (current_ == QLatin1Char(':')) {
                nextChar();
                return TokenScope;
            }
            return ':';
        }
        if (c == QLatin1Char('/')) {
            nextChar();
            if (current_ == QLatin1Char('/')) {
                readLineComment();
                continue;
            }
            if (current_ == QLatin1Char('*')) {
                readBlockComment();
                continue;
            }
            return '/';
        }
        if (isSingleCharToken(c)) {
            nextChar();
            return c.unicode();
        }
        nextChar(); // starts no token
    }
}

int SourceBrowserCScanner::readWord() {
    // A word never spans lines, so its end is found within the current line and the word
    // cut out of it; only the character after it goes through nextChar(), which reads
    // the line end as well. A keyword's text is shared with the table instead of being
    // copied.
    const int start = position_ - 1;
    int end = position_;
    while (end < lineLength_ && isWordChar(lineText_[end]))
        ++end;
    position_ = end;
    nextChar();
    const QStringView word = lineText_.mid(start, end - start);
    if (const Keyword *keyword = findKeyword(word)) {
        tokenText_ = keyword->text;
        return keyword->code;
    }
    tokenText_ = word.toString();
    return TokenIdentifier;
}

void SourceBrowserCScanner::skipLiteral(QChar quote) {
    nextChar();
    for (;;) {
        if (atEnd() || current_ == QLatin1Char('\n'))
            return;
        if (current_ == quote) {
            nextChar();
            return;
        }
        if (current_ == QLatin1Char('\\')) {
            nextChar();
            if (atEnd() || current_ == QLatin1Char('\n'))
                return;
            if (isOctalDigit(current_)) {
                while (isOctalDigit(current_))
                    nextChar();
            } else if (current_ == QLatin1Char('x')) {
                nextChar();
                while (charclass::isAlnum(current_))
                    nextChar();
            } else {
                nextChar();
            }
            continue;
        }
        nextChar();
    }
}

void SourceBrowserCScanner::readLineComment() {
    position_ = lineLength_;
    nextChar();
}

void SourceBrowserCScanner::readBlockComment() {
    commentStartLine_ = tokenLine_;
    commentText_.clear();
    // The text is gathered in a buffer that keeps its room from comment to comment and
    // grows without a call per line, then copied once.
    commentBuffer_.clear();
    readingComment_ = true;
    nextChar();
    // The text is taken a line at a time: a comment closes only on the line where its
    // "*/" stands, and line ends go through nextChar() so that lines are counted as usual.
    const auto take = [this](qsizetype from, qsizetype size) {
        commentBuffer_.append(lineText_.utf16() + from, size_t(size));
    };
    while (!atEnd()) {
        if (position_ > lineLength_) { // at the end of a line
            commentBuffer_ += u'\n';
            nextChar();
            continue;
        }
        const qsizetype start = position_ - 1;
        qsizetype close = indexOfChar(lineText_, u'*', start);
        while (close >= 0 && close + 1 < lineLength_ && lineText_.at(close + 1) != u'/')
            close = indexOfChar(lineText_, u'*', close + 1);
        if (close + 1 >= lineLength_)
            close = -1;
        if (close >= 0) {
            take(start, close - start);
            position_ = int(close) + 2;
            nextChar();
            break;
        }
        take(start, lineLength_ - start);
        position_ = lineLength_;
        nextChar();
    }
    readingComment_ = false;
    commentEndLine_ = lineNumber_;
    syncCommentText(); // null when empty, as when nothing was ever added

    // Only the start of the comment decides its kind; most comments are documentation
    // and need no simplified copy of their whole text.
    const CommentStart start = simplifiedStart(commentText_);
    const QStringView simple = start.view();
    if (startsWithText(simple, "!!") || startsWithText(simple, "! \\overview")) {
        int i = 0;
        while (i < commentText_.size() &&
               (commentText_.at(i) == QLatin1Char('!') || commentText_.at(i) == QLatin1Char(' ')))
            ++i;
        const QStringView text = QStringView(commentText_).mid(i);
        overviewOrigins_.append({overviewLines_, commentStartLine_});
        overviewLines_ += int(text.count(u'\n'));
        overviewText_ += text;
        consumeComment();
    } else if (startsWithText(simple, "! \\region") || startsWithText(simple, "! \\group")) {
        group_ = commentText_.simplified().section(QLatin1Char(' '), 2);
        consumeComment();
    } else if (startsWithText(simple, "! \\endregion") || startsWithText(simple, "! \\endgroup")) {
        group_.clear();
        consumeComment();
    } else if (commentText_.startsWith(u'!')) {
        documentationComments_.append(commentStartLine_);
    }
}

QList<int> SourceBrowserCScanner::unattachedDocumentationComments() const {
    QList<int> lines;
    for (const int line : documentationComments_) {
        if (!attachedComments_.contains(line))
            lines.append(line);
    }
    return lines;
}
