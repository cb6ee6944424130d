#include "docgen/interpreter.h"

#include "common/charclass.h"
#include "common/findeither.h"
#include "common/simplify.h"
#include "common/textappender.h"
#include "docgen/blockstate.h"
#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/htmltext.h"
#include "docgen/referencesections.h"

// The reader walks the text once. Plain characters are copied according to the open
// block; a backslash starts a command, whose name is looked up in the command table;
// in tables and matrices "|" starts cells. Handlers advance the cursor over their
// own arguments, so no character is read twice.

MarkupInterpreter::MarkupInterpreter(DocGen &doc_, const QString &text_,
                                     const SourceBrowserObject *entity_, NulInText nulInText)
    : doc(doc_), text(text_), cursor(text_.constData()), entity(entity_),
      warnings(diagnostics().enabled()), countedTo_(text_.constData()) {
    const qsizetype nul = nulInText == NulInText::None ? -1 : text.indexOf(QChar(0));
    textEnd = text.constData() + (nul < 0 ? text.size() : nul);
}

LineOrigins::Origin MarkupInterpreter::origin(const QChar *at) {
    // Warnings come mostly in text order; one about an earlier position (a block left
    // open) counts back instead of starting over.
    if (at < countedTo_)
        linesBefore_ -= int(QStringView(at, countedTo_).count(u'\n'));
    else
        linesBefore_ += int(QStringView(countedTo_, at).count(u'\n'));
    countedTo_ = at;
    LineOrigins::Origin found = doc.origins.find(linesBefore_);
    if (found.file.isEmpty())
        found.file = doc.inputPath;
    return found;
}

std::vector<LineOrigins::Origin> MarkupInterpreter::otherFiles(const QChar *from, const QChar *to) {
    origin(from);
    const int fromLine = linesBefore_;
    origin(to);
    return doc.origins.otherFiles(fromLine, linesBefore_);
}

void MarkupInterpreter::warn(const QChar *at, const QString &message, const char *category) {
    const LineOrigins::Origin where = origin(at);
    diagnostics().warn(where.file, where.line, message, category);
}

void MarkupInterpreter::expectAt(const QChar *at, const QString &path, const QString &target,
                                 const char *what, const char *category, const QString &note) {
    const LineOrigins::Origin where = origin(at);
    diagnostics().expectFile(where.file, where.line, path, target, what, category, note);
}

void MarkupInterpreter::checkBraceClosed() {
    if (cursor[-1] != u'}')
        warn(commandStart ? commandStart : cursor,
             QStringLiteral("argument of '\\%1' opens '{' but the line ends without '}'")
                 .arg(commandName),
             "unclosed-brace");
}

void MarkupInterpreter::checkBlockClosed(const char *what) {
    const int state = doc.blockState;
    if (blockOpener && (state == BlockCode || state == BlockTable || state == BlockMatrix))
        warn(blockOpener,
             QStringLiteral("'\\%1' is never closed; it runs on to %2")
                 .arg(blockOpenerName, QLatin1String(what)),
             "unclosed-block");
    blockOpener = nullptr;
}

bool MarkupInterpreter::take(char16_t c) {
    if (cursor->unicode() != c)
        return false;
    ++cursor;
    return true;
}

void MarkupInterpreter::closeBlocks() {
    switchBlock(doc, BlockNone);
}

void CommandTable::add(const char *name, CommandHandler handler, const void *row) {
    const QString key = QString::fromLatin1(name);
    if (names_.insert(key))
        entries_.push_back(Entry{handler, row});
    else
        entries_[size_t(names_.indexOf(key))] = Entry{handler, row};
}

QStringList CommandTable::names() const {
    QStringList names;
    for (qsizetype i = 0; i < names_.size(); ++i)
        names.append(names_.at(i));
    return names;
}

const CommandTable &commandTable() {
    static const CommandTable table = [] {
        CommandTable t;
        addStructureCommands(t);
        addInlineCommands(t);
        addInterfaceCommands(t);
        addReferenceCommands(t);
        return t;
    }();
    return table;
}

namespace {

void tableBar(MarkupInterpreter &in);
void matrixBar(MarkupInterpreter &in);

// Reads the command name after a backslash (the cursor is past the backslash) as a
// view into the text: a comment is mostly commands, and the name is only looked up.
void readCommandName(MarkupCursor &cursor, QStringView &name) {
    if (cursor[0] == u'.' && cursor[1] == u'.' && cursor[2] == u'.') {
        cursor += 3;
        name = u"hdots";
        return;
    }
    const QChar *start = cursor;
    if (charclass::isPunct(*cursor)) {
        ++cursor;
        if (*cursor == u'-')
            ++cursor;
    } else {
        while (charclass::isAlnum(*cursor))
            ++cursor;
    }
    name = QStringView(start, cursor - start);
}

void runCommand(MarkupInterpreter &in) {
    in.commandStart = in.cursor;
    ++in.cursor; // the backslash
    readCommandName(in.cursor, in.commandName);
    if (CommandHandler handler = commandTable().find(in.commandName, &in.commandRow))
        handler(in);
    else if (in.warnings)
        in.warn(in.commandStart,
                in.commandName.isEmpty()
                    ? QStringLiteral("backslash without a command name; it is dropped")
                    : QStringLiteral("unknown command '\\%1'; it is dropped").arg(in.commandName),
                "unknown-command");
}

// Running text is copied in runs up to the next character that text handling, a
// command or a table treats specially, or the terminating NUL; in a code block only a
// few characters are translated.
MarkupCursor endOfPlainText(MarkupCursor from, MarkupCursor textEnd) {
    return reinterpret_cast<MarkupCursor>(findAnyOf<0, '\n', '<', '\\', '|', 0x00B7>(
        reinterpret_cast<const char16_t *>(from), reinterpret_cast<const char16_t *>(textEnd)));
}

MarkupCursor endOfPlainCode(MarkupCursor from, MarkupCursor textEnd) {
    return reinterpret_cast<MarkupCursor>(findAnyOf<0, '\\', '>', 0x00A0, 0x00B7>(
        reinterpret_cast<const char16_t *>(from), reinterpret_cast<const char16_t *>(textEnd)));
}

void copyCodeCharacter(QString &body, QChar c) {
    switch (c.unicode()) {
    case '>':
        body += QLatin1String("&gt;");
        break;
    case 0x00A0:
        body += QLatin1Char(' ');
        break;
    default:
        appendCharText(body, c);
    }
}

// Running text in a paragraph, list, table or matrix. Returns with the cursor past
// what it consumed.
void copyTextCharacter(MarkupInterpreter &in) {
    TextAppender body(in.doc.pageBody);
    const QChar c = *in.cursor;
    if (c == u'\n') {
        if (in.cursor[1] == u'\n') {
            while (*in.cursor == u'\n')
                ++in.cursor;
            in.closeBlocks();
            return;
        }
        body += QLatin1Char('\n');
        in.doc.addWords(WordsPart::Prose, u"\n");
    } else if (c == u'<' && in.cursor[1] == u'>') {
        body += QLatin1String("&nbsp;");
        in.doc.addWords(WordsPart::Prose, u" ");
        ++in.cursor;
    } else if (c.unicode() == 0x00B7) {
        appendCharText(body, c);
        in.doc.addWords(WordsPart::Prose, u" ");
    } else {
        // Plain text up to the next character with a meaning is copied in one piece.
        const QChar *start = in.cursor;
        in.cursor = endOfPlainText(start + 1, in.textEnd);
        body.append(start, in.cursor - start);
        in.doc.addWords(WordsPart::Prose, QStringView(start, in.cursor), true);
        return;
    }
    ++in.cursor;
}

void readText(MarkupInterpreter &in) {
    while (!in.cursor->isNull()) {
        const QChar c = *in.cursor;
        const int state = in.doc.blockState;
        if (c == u'|' && state == BlockMatrix) {
            matrixBar(in);
        } else if (c == u'|' && state == BlockTable) {
            tableBar(in);
        } else if (c == u'\\') {
            runCommand(in);
        } else if (state == BlockNone) {
            if (c != u' ' && c != u'\n') {
                // Text opens a plain paragraph; the element closing it follows the
                // paragraph tag, which a later "style" may change.
                TextAppender(in.doc.pageBody) += QLatin1String("<p>");
                appendCharText(in.doc.pageBody, c);
                in.doc.endWordsBlock();
                in.doc.addWords(WordsPart::Prose,
                                c.unicode() == 0x00B7 ? QStringView(u" ") : QStringView(&c, 1),
                                true);
                in.doc.blockState = BlockParagraph;
            }
            ++in.cursor;
        } else if (state == BlockCode) {
            const QChar *start = in.cursor;
            in.cursor = endOfPlainCode(start, in.textEnd);
            if (in.cursor != start) {
                TextAppender(in.doc.pageBody).append(start, in.cursor - start);
                in.doc.addWords(WordsPart::Code, QStringView(start, in.cursor), true);
            } else {
                copyCodeCharacter(in.doc.pageBody, c);
                in.doc.addWords(WordsPart::Code,
                                c == u'>' ? QStringView(u"&gt;")
                                : c.unicode() == 0x00B7 || c.unicode() == 0x00A0
                                    ? QStringView(u" ")
                                    : QStringView(&c, 1),
                                true);
                ++in.cursor;
            }
        } else {
            copyTextCharacter(in);
        }
    }
}

// In a table "||-" starts a heading row across all columns, "||" a row and "|" a cell.
void tableBar(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    QString &body = doc.pageBody;
    ++in.cursor;
    doc.endWordsBlock();
    if (!in.take(u'|')) {
        if (in.tableRow == 1)
            body +=
                doc.mode == ModeBodies ? QLatin1String("</th><th>") : QLatin1String("</td><td>");
        else
            body += QLatin1String("</td><td valign=\"top\">");
        return;
    }
    if (in.take(u'-')) {
        if (in.tableRow != 0)
            body += QLatin1String("</td></tr>\n");
        in.tableRow += 2;
        const QString title = simplified(escapeXml(in.readLine()));
        body += QLatin1String("<tr><td colspan=\"100%\"><b>") + title + QLatin1String("</b>\n");
        doc.endWordsBlock();
        doc.addWords(WordsPart::Prose, title, true);
        return;
    }
    ++in.tableRow;
    if (in.tableRow == 1)
        body += doc.mode == ModeBodies ? QLatin1String("<tr bgcolor=\"#cccccc\"><th>\n")
                                       : QLatin1String("<tr bgcolor=\"#cccccc\"><td>\n");
    else if (in.tableRow == 2)
        body += doc.mode == ModeBodies ? QLatin1String("</th></tr>\n<tr><td>")
                                       : QLatin1String("</td></tr>\n<tr><td>");
    else
        body += QLatin1String("</td></tr>\n<tr><td valign=\"top\">");
}

// In a matrix every "|" starts a cell; rows wrap after the declared column count.
void matrixBar(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    QString &body = doc.pageBody;
    ++in.cursor;
    doc.endWordsBlock();
    if (in.tableRow == 0 && in.tableCell == 0)
        body += QLatin1String("<tr>\n");
    else
        body += QLatin1String("</td>\n");
    if (++in.tableCell > doc.matrixColumns) {
        ++in.tableRow;
        body += QLatin1String("</tr>\n<tr>");
        in.tableCell = 1;
    }
    body += QLatin1String("<td valign=\"top\">\n");
}

} // namespace

QString interpretMarkup(DocGen &doc, const QString &text, const SourceBrowserObject *entity,
                        NulInText nul) {
    if (text.isNull())
        return QString();
    MarkupInterpreter in(doc, text, entity, nul);
    beginEntityComment(in);
    doc.blockState = BlockNone;
    if (entity) {
        // Only documentation comments, which begin with "!", are read for an entity.
        if (!in.take(u'!'))
            return QString();
    }
    readText(in);
    if (in.warnings)
        in.checkBlockClosed(entity ? "the end of the comment" : "the end of the file");
    switchBlock(doc, BlockNone);
    if (entity)
        registerEntity(in);
    return doc.pageBody;
}
