#include "docgen/headerparse.h"

#include "colouring/codelinks.h"
#include "common/findeither.h"

#include "docgen/headerpipeline.h"
#include "docgen/textlines.h"
#include "sourcebrowser/cparser.h"
#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowsermethod.h"
#include "sourcebrowser/sourcebrowservariable.h"

#include <algorithm>

namespace {

// The C/C++ parser reading its lines from a header file, keeping its messages.
class DocGenSourceBrowserCParser : public SourceBrowserCParser {
public:
    DocGenSourceBrowserCParser(TextLines &lines, ParsedHeader &result, bool keepMessages)
        : SourceBrowserCParser(result.root.get()), lines_(lines), result_(result),
          keepMessages_(keepMessages) {}

    bool getLine(QStringView &line) override { return lines_.next(line); }

    void errorMessage(const QString &fileName, int line, const QString &message) override {
        if (!keepMessages_)
            return;
        QList<ParsedHeader::Message> &messages = result_.parserMessages;
        if (!messages.isEmpty() && messages.last().line == line &&
            messages.last().text == message && messages.last().fileName == fileName)
            return;
        messages.append({fileName, line, message});
    }

private:
    TextLines &lines_;
    ParsedHeader &result_;
    const bool keepMessages_;
};

// The code of one line, trimmed: its comments left out (a block comment may run on from
// the lines before, as inComment tells, and on into the next), its string and character
// literals kept whole, so that a "/*" in one opens no comment.
QString codeOf(QStringView line, bool &inComment) {
    QString code;
    const qsizetype size = line.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = line[i];
        const QChar next = i + 1 < size ? line[i + 1] : QChar();
        if (inComment) {
            if (c == u'*' && next == u'/') {
                inComment = false;
                code += u' ';
                ++i;
            }
        } else if (c == u'/' && next == u'*') {
            inComment = true;
            ++i;
        } else if (c == u'/' && next == u'/') {
            break;
        } else if (c == u'"' || c == u'\'') {
            qsizetype end = i + 1;
            while (end < size && line[end] != c)
                end += line[end] == u'\\' ? 2 : 1;
            end = std::min(end + 1, size);
            code += line.mid(i, end - i);
            i = end - 1;
        } else {
            code += c;
        }
    }
    return code.trimmed();
}

bool isIdentifier(QStringView word) {
    if (word.isEmpty() || word.front().isDigit())
        return false;
    return std::all_of(word.begin(), word.end(),
                       [](QChar c) { return c.isLetterOrNumber() || c == u'_'; });
}

// The macro that "#ifndef NAME" or "#if !defined(NAME)" tests in a directive (its text
// after the "#", spaces taken out), or an empty view.
QStringView testedUndefined(QStringView directive) {
    QStringView name;
    if (directive.startsWith(u"ifndef"))
        name = directive.mid(6);
    else if (directive.startsWith(u"if!defined"))
        name = directive.mid(10);
    else
        return QStringView();
    if (name.startsWith(u'(') && name.endsWith(u')'))
        name = name.mid(1, name.size() - 2);
    return isIdentifier(name) ? name : QStringView();
}

// The object-like macro that the directive code ("#define NAME ...") defines, or an
// empty view.
QStringView definedName(QStringView code) {
    QStringView rest = code.mid(1).trimmed();
    if (!rest.startsWith(u"define") || rest.size() == 6 || !rest[6].isSpace())
        return QStringView();
    rest = rest.mid(6).trimmed();
    qsizetype end = 0;
    while (end < rest.size() && (rest[end].isLetterOrNumber() || rest[end] == u'_'))
        ++end;
    if (end < rest.size() && rest[end] == u'(')
        return QStringView();
    return rest.left(end);
}

// Finds the include guard of a header: its first code but for "#pragma" lines (such
// as "#pragma once") is "#ifndef NAME" (or "#if !defined(NAME)"), its next
// "#define NAME" (a value or none), and the "#endif" that closes the first is its last
// code. Sets the name and the "#define"'s one-based line, or leaves them as they are
// when the header has no guard.
void findIncludeGuard(QStringView text, QString &name, int &defineLine) {
    enum { Opening, Defining, Inside, Closed } stage = Opening;
    QString guard;
    int guardLine = 0;
    int depth = 0;
    bool inComment = false;
    int lineNumber = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        ++lineNumber;
        const QString code = codeOf(text.mid(start, end - start), inComment);
        start = end + 1;
        if (code.isEmpty() || (stage == Inside && !code.startsWith(u'#')))
            continue;
        if (stage == Closed || !code.startsWith(u'#'))
            return;
        QString directive = code.mid(1);
        directive.remove(u' ').remove(u'\t');
        if (stage == Opening) {
            if (directive.startsWith(u"pragma"))
                continue;
            guard = testedUndefined(directive).toString();
            if (guard.isEmpty())
                return;
            stage = Defining;
            depth = 1;
        } else if (stage == Defining) {
            if (definedName(code) != guard)
                return;
            guardLine = lineNumber;
            stage = Inside;
        } else {
            if (directive.startsWith(u"if"))
                ++depth;
            else if (directive.startsWith(u"endif") && --depth == 0)
                stage = Closed;
        }
    }
    if (stage == Closed) {
        name = guard;
        defineLine = guardLine;
    }
}

} // namespace

namespace {

// Whether a documentation comment gives its page some text: a line of it, past its
// star, that is text, or a command that always writes some. "\brief" and "\ingroup"
// write nothing, and other commands are not counted on.
bool givesText(QStringView comment) {
    static const char *const writing[] = {"param", "return", "synopsis", "code", "ref", "xref"};
    qsizetype start = comment.startsWith(u'!') ? 1 : 0;
    while (start < comment.size()) {
        qsizetype end = comment.indexOf(u'\n', start);
        if (end < 0)
            end = comment.size();
        QStringView line = comment.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.startsWith(u'*'))
            line = line.mid(1).trimmed();
        if (line.isEmpty())
            continue;
        if (line.front() != u'\\')
            return true;
        qsizetype length = 1;
        while (length < line.size() && line[length].isLetter())
            ++length;
        const QStringView command = line.mid(1, length - 1);
        for (const char *name : writing) {
            if (command == QLatin1String(name))
                return true;
        }
    }
    return false;
}

} // namespace

void addDeclarationPages(const ParsedHeader &parsed, PageNames &pages) {
    if (!parsed.root)
        return;
    qsizetype count = pages.size();
    forEachDeclarationList(*parsed.root,
                           [&count](const auto &entities) { count += entities.size(); });
    pages.reserve(count);
    forEachDeclarationList(*parsed.root, [&pages](const auto &entities) {
        for (const SourceBrowserObject *entity : entities) {
            if (getsPage(*entity) && givesText(entity->comment))
                pages.insert(entity->name);
        }
    });
}

ParsedHeader parseHeader(const QString &path, bool keepMessages) {
    ParsedHeader result;
    result.path = path;
    result.root = std::make_unique<SourceBrowserRoot>();
    TextLines lines(path);
    result.opened = lines.isOpen();
    DocGenSourceBrowserCParser parser(lines, result, keepMessages);
    parser.parseFile(path);
    result.readError = lines.readError();
    result.overview = parser.overviewText();
    result.overviewOrigins = parser.overviewOrigins();
    result.unattachedComments = parser.unattachedDocumentationComments();
    if (keepMessages)
        findIncludeGuard(lines.takeText(), result.includeGuard, result.includeGuardLine);
    return result;
}
