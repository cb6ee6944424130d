#include "sourcebrowser/cscanner.h"

#include "common/charclass.h"
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
        static const struct {
            const char *word;
            int code;
        } list[] = {
            {"class", TokenClass},         {"extern", TokenExtern},
            {"public", TokenPublic},       {"signals", TokenPublic},
            {"protected", TokenProtected}, {"private", TokenPrivate},
            {"const", TokenConst},         {"volatile", TokenVolatile},
            {"register", TokenRegister},   {"union", TokenUnion},
            {"static", TokenStatic},       {"virtual", TokenVirtual},
            {"enum", TokenEnum},           {"typedef", TokenTypedef},
            {"friend", TokenFriend},       {"struct", TokenStruct},
            {"using", TokenUsing},         {"operator", TokenOperator},
            {"template", TokenTemplate},   {"throw", TokenThrow},
            {"namespace", TokenNamespace}, {"inline", DroppedWord},
            {"Q_OBJECT", DroppedWord},     {"slots", DroppedWord},
        };
        static std::vector<Keyword> byLength[LongestKeyword + 1];
        for (const auto &entry : list) {
            const QString text = QString::fromLatin1(entry.word);
            Q_ASSERT(text.size() >= ShortestKeyword && text.size() <= LongestKeyword);
            byLength[text.size()].push_back(Keyword{text, entry.code});
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

bool isDirective(const QString &line) {
    for (QChar c : line) {
        if (!c.isSpace())
            return c == QLatin1Char('#');
    }
    return false;
}

// The first `limit` characters of text.simplified(), without simplifying the rest.
QString simplifiedStart(QStringView text, qsizetype limit) {
    QString start;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && text[i].isSpace())
        ++i;
    while (i < size && start.size() < limit) {
        if (!text[i].isSpace()) {
            start += text[i++];
            continue;
        }
        while (i < size && text[i].isSpace())
            ++i;
        if (i < size)
            start += QLatin1Char(' ');
    }
    return start;
}

} // namespace

QString SourceBrowserToken::textOf(int code, const QString &text) {
    if (code >= 32 && code <= 255) {
        // Shared copies: declaration text is built from many punctuation tokens.
        static const std::vector<QString> characters = [] {
            std::vector<QString> list(256);
            for (int c = 32; c <= 255; ++c)
                list[c] = QString(QChar(c));
            return list;
        }();
        return characters[code];
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
    : m_lines(lines), m_macroSink(macroSink) {
    nextChar();
}

void SourceBrowserCScanner::nextChar() {
    if (m_position < m_lineLength) {
        m_current = m_lineText.at(m_position++);
        return;
    }
    if (m_position == m_lineLength) {
        ++m_position;
        m_current = QLatin1Char('\n');
        return;
    }
    if (m_atEnd) {
        m_current = EndOfInput;
        return;
    }
    readLine();
}

QChar SourceBrowserCScanner::peekChar() const {
    if (m_position < m_lineLength)
        return m_lineText.at(m_position);
    if (m_position == m_lineLength)
        return QLatin1Char('\n');
    return EndOfInput;
}

bool SourceBrowserCScanner::fetchRawLine(QString &line) {
    // Not emptied first: a reader that fills the buffer in place keeps its room.
    if (!m_lines || !m_lines->getLine(line)) {
        m_atEnd = true;
        m_current = EndOfInput;
        m_lineText.clear();
        m_lineLength = 0;
        m_position = 1;
        return false;
    }
    return true;
}

void SourceBrowserCScanner::readLine() {
    // Lines are read into the buffer the line before last was read into, so a reader
    // that fills the buffer in place allocates nothing for an ordinary line.
    QString &line = m_spareLine;
    bool afterDirective = false;
    for (;;) {
        if (!fetchRawLine(line))
            return;
        // The directive's own line is counted once the line after it exists.
        if (afterDirective)
            ++m_lineNumber;
        if (!isDirective(line)) {
            ++m_lineNumber;
            m_lineText.swap(line);
            m_lineLength = int(m_lineText.size());
            m_position = 0;
            nextChar();
            return;
        }
        readDirective(line);
        if (m_atEnd)
            return;
        afterDirective = true;
    }
}

void SourceBrowserCScanner::readDirective(const QString &firstLine) {
    // Not yet incremented for this line, so this is its zero-based index.
    const int directiveLine = m_lineNumber;

    QString directive = firstLine;
    QString raw = firstLine;
    while (raw.endsWith(QLatin1Char('\\'))) {
        if (!fetchRawLine(raw))
            return;
        directive += QLatin1String("\n   ");
        directive += raw.trimmed();
        ++m_lineNumber;
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
    if (m_commentEndLine >= 0) {
        const int distance = directiveLine - m_commentEndLine;
        if (distance == 0 || distance == 1) {
            macro->comment = m_commentText;
            macro->commentLine = m_commentStartLine;
            markCommentAttached();
            consumeComment();
        }
    }
    if (m_macroSink)
        m_macroSink->addObject(macro);
    else
        delete macro;
}

void SourceBrowserCScanner::consumeComment() {
    m_commentText.clear();
    m_commentStartLine = -1;
    m_commentEndLine = -1;
}

void SourceBrowserCScanner::pushBack(int code, const QString &text) {
    m_pushback.prepend(SourceBrowserToken{code, text});
}

int SourceBrowserCScanner::nextToken() {
    if (!m_pushback.isEmpty()) {
        const SourceBrowserToken token = m_pushback.takeFirst();
        m_tokenText = token.text;
        return token.code;
    }

    for (;;) {
        while (!atEnd() && m_current.isSpace())
            nextChar();
        m_tokenLine = m_lineNumber;
        if (atEnd())
            return TokenEnd;

        const QChar c = m_current;
        if (c == QLatin1Char('L') &&
            (peekChar() == QLatin1Char('\'') || peekChar() == QLatin1Char('"'))) {
            nextChar();
            const QChar quote = m_current;
            skipLiteral(quote);
            return quote == QLatin1Char('"') ? TokenString : TokenNumber;
        }
        if (charclass::isLetter(c) || c == QLatin1Char('_')) {
            if (m_rawMode) {
                while (isWordChar(m_current))
                    nextChar();
                return TokenIdentifier;
            }
            const int code = readWord();
            if (code == DroppedWord)
                continue;
            return code;
        }
        if (charclass::isDigit(c)) {
            while (charclass::isAlnum(m_current))
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
            if (m_current == QLatin1Char(':')) {
                nextChar();
                return TokenScope;
            }
            return ':';
        }
        if (c == QLatin1Char('/')) {
            nextChar();
            if (m_current == QLatin1Char('/')) {
                readLineComment();
                continue;
            }
            if (m_current == QLatin1Char('*')) {
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
    // A word never spans lines, so it can be cut out of the current line. A keyword's
    // text is shared with the table instead of being copied.
    const int start = m_position - 1;
    while (isWordChar(m_current))
        nextChar();
    const QStringView word = QStringView(m_lineText).mid(start, m_position - 1 - start);
    if (const Keyword *keyword = findKeyword(word)) {
        m_tokenText = keyword->text;
        return keyword->code;
    }
    m_tokenText = word.toString();
    return TokenIdentifier;
}

void SourceBrowserCScanner::skipLiteral(QChar quote) {
    nextChar();
    for (;;) {
        if (atEnd() || m_current == QLatin1Char('\n'))
            return;
        if (m_current == quote) {
            nextChar();
            return;
        }
        if (m_current == QLatin1Char('\\')) {
            nextChar();
            if (atEnd() || m_current == QLatin1Char('\n'))
                return;
            if (isOctalDigit(m_current)) {
                while (isOctalDigit(m_current))
                    nextChar();
            } else if (m_current == QLatin1Char('x')) {
                nextChar();
                while (charclass::isAlnum(m_current))
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
    m_position = m_lineLength;
    nextChar();
}

void SourceBrowserCScanner::readBlockComment() {
    m_commentStartLine = m_tokenLine;
    m_commentText.clear();
    // Room for a comment as long as the previous one: the comments of a file are much
    // alike, and growing the text a line at a time cost more than reading it.
    m_commentText.reserve(m_previousCommentLength + 64);
    nextChar();
    // The text is taken a line at a time: a comment closes only on the line where its
    // "*/" stands, and line ends go through nextChar() so that lines are counted as usual.
    while (!atEnd()) {
        if (m_position > m_lineLength) { // at the end of a line
            m_commentText += QLatin1Char('\n');
            nextChar();
            continue;
        }
        const qsizetype start = m_position - 1;
        qsizetype close = m_lineText.indexOf(QLatin1Char('*'), start);
        while (close >= 0 && close + 1 < m_lineLength && m_lineText.at(close + 1) != u'/')
            close = m_lineText.indexOf(QLatin1Char('*'), close + 1);
        if (close + 1 >= m_lineLength)
            close = -1;
        if (close >= 0) {
            m_commentText += QStringView(m_lineText).mid(start, close - start);
            m_position = int(close) + 2;
            nextChar();
            break;
        }
        m_commentText += QStringView(m_lineText).mid(start);
        m_position = m_lineLength;
        nextChar();
    }
    m_commentEndLine = m_lineNumber;
    m_previousCommentLength = m_commentText.size();
    if (m_commentText.isEmpty())
        m_commentText = QString(); // null, as when nothing was ever added

    // Only the start of the comment decides its kind; most comments are documentation
    // and need no simplified copy of their whole text.
    const QString simple = simplifiedStart(m_commentText, 16);
    if (simple.startsWith(QLatin1String("!!")) ||
        simple.startsWith(QLatin1String("! \\overview"))) {
        int i = 0;
        while (i < m_commentText.size() &&
               (m_commentText.at(i) == QLatin1Char('!') || m_commentText.at(i) == QLatin1Char(' ')))
            ++i;
        const QStringView text = QStringView(m_commentText).mid(i);
        m_overviewOrigins.append({m_overviewLines, m_commentStartLine});
        m_overviewLines += int(text.count(u'\n'));
        m_overviewText += text;
        consumeComment();
    } else if (simple.startsWith(QLatin1String("! \\region")) ||
               simple.startsWith(QLatin1String("! \\group"))) {
        m_group = m_commentText.simplified().section(QLatin1Char(' '), 2);
        consumeComment();
    } else if (simple.startsWith(QLatin1String("! \\endregion")) ||
               simple.startsWith(QLatin1String("! \\endgroup"))) {
        m_group.clear();
        consumeComment();
    } else if (m_commentText.startsWith(u'!')) {
        m_documentationComments.append(m_commentStartLine);
    }
}

QList<int> SourceBrowserCScanner::unattachedDocumentationComments() const {
    QList<int> lines;
    for (const int line : m_documentationComments) {
        if (!m_attachedComments.contains(line))
            lines.append(line);
    }
    return lines;
}
