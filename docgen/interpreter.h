#pragma once

#include "common/wordset.h"
#include "docgen/argumentreaders.h"
#include "docgen/lineorigins.h"

#include <QSet>
#include <QString>
#include <QStringView>

#include <vector>

class DocGen;
class SourceBrowserObject;

// Whether the interpreter's text may hold a NUL character, which ends what is read:
// looked for unless the text's maker knows there is none.
enum class NulInText { Possible, None };

// The state of one run of the markup interpreter over one text. Command handlers get
// it by reference: they read their arguments from the cursor and write into the
// DocGen's page body.
struct MarkupInterpreter {
    MarkupInterpreter(DocGen &doc, const QString &text, const SourceBrowserObject *entity,
                      NulInText nul = NulInText::Possible);

    DocGen &doc;
    const QString &text;              // the whole text being read
    MarkupCursor cursor;              // the next character to read; a NUL character ends the text
    const QChar *textEnd;             // the first NUL character: where reading stops
    QStringView commandName;          // the command being handled, in the text (or a literal)
    const void *commandRow = nullptr; // its row, for a handler added with one
    // The documented entity whose comment is read, or none for a manual source.
    const SourceBrowserObject *entity;
    QString group;     // the entity's group
    QString brief;     // the entity's brief description
    int tableRow = 0;  // rows of the table or matrix being built
    int tableCell = 0; // cells of the current matrix row

    // Warnings (see Diagnostics); the fields below are kept only while they are on.
    const bool warnings;
    const QChar *commandStart = nullptr; // the backslash of the command being handled
    // The command that opened the code block, table or matrix in force, so that one
    // left open can be reported where it starts.
    const QChar *blockOpener = nullptr;
    QString blockOpenerName;
    QSet<QString> documentedParameters; // the "param" names of an entity's comment
    QStringList parameterNames;         // the entity's, read at its first "param"
    bool parametersRead = false;
    bool parametersChecked = false; // whether the entity's kind has parameters to check

    // The two ways a command reads its argument.
    QString readWord() {
        const bool braced = *cursor == u'{';
        QString word = readBracedOrWord(cursor, textEnd);
        if (braced && warnings)
            checkBraceClosed();
        return word;
    }
    // readWord() as a view into the text, for a command that only copies its argument.
    QStringView readWordView() {
        const bool braced = *cursor == u'{';
        const QStringView word = readBracedOrWordView(cursor, textEnd);
        if (braced && warnings)
            checkBraceClosed();
        return word;
    }
    QString readLine() {
        const bool braced = *cursor == u'{';
        QString line = readBracedOrLine(cursor, textEnd);
        if (braced && warnings)
            checkBraceClosed();
        return line;
    }
    // Whether the character right after the command name is c (no space between).
    bool nextIs(char16_t c) const { return cursor->unicode() == c; }
    // Consumes c when it comes next.
    bool take(char16_t c);
    // switchBlock to BlockNone: closes every open paragraph, list, table or code block.
    void closeBlocks();

    // Prints a warning at the file and line that the text position at came from.
    void warn(const QChar *at, const QString &message, const char *category);
    // Warns at the end of the run when path has not been written by then and does not
    // exist: a link or image (what) to target, as written; note ends the warning.
    void expectAt(const QChar *at, const QString &path, const QString &target, const char *what,
                  const char *category, const QString &note = QString());
    // Warns when a block opened by code, pre, table or matrix is still open.
    void checkBlockClosed(const char *what);
    // The file and line that the text position at came from.
    LineOrigins::Origin originOf(const QChar *at) { return origin(at); }
    // The files other than the one of `from` that the text from `from` to `to` came
    // from, each once with the first of its lines there, in the order of the text.
    std::vector<LineOrigins::Origin> otherFiles(const QChar *from, const QChar *to);

private:
    void checkBraceClosed();
    LineOrigins::Origin origin(const QChar *at);
    // Lines are counted lazily up to the last position asked for, so that warnings in
    // text order cost one pass over the text.
    const QChar *countedTo_;
    int linesBefore_ = 0;
};

using CommandHandler = void (*)(MarkupInterpreter &);

// The command vocabulary: command name to handler. Adding a command is adding a row.
class CommandTable {
public:
    // A name added again takes the later handler. row is what the handler is given
    // in commandRow: many commands share one handler and differ in a row of a table.
    void add(const char *name, CommandHandler handler, const void *row = nullptr);
    // The handler of name (null when there is none), and in row its row.
    CommandHandler find(QStringView name, const void **row) const {
        const qsizetype at = names_.indexOf(name);
        if (at < 0)
            return nullptr;
        *row = entries_[size_t(at)].row;
        return entries_[size_t(at)].handler;
    }
    // Every command name, in no particular order.
    QStringList names() const;

private:
    // Names are looked up once a command, and they are short: a word set finds them
    // for a fraction of a general hash table's lookup.
    struct Entry {
        CommandHandler handler;
        const void *row;
    };
    WordSet names_;
    std::vector<Entry> entries_; // at the places of their names in names_
};

// The rows of each group of commands, added to the one table by commandTable().
void addStructureCommands(CommandTable &table);
void addInlineCommands(CommandTable &table);
void addInterfaceCommands(CommandTable &table);
void addReferenceCommands(CommandTable &table);

const CommandTable &commandTable();

// Interprets text and appends the HTML to the page body; returns a copy of the whole
// body. With an entity, only a text that begins with "!" (a documentation comment) is
// read, and the entity is registered for the summary table afterwards.
QString interpretMarkup(DocGen &doc, const QString &text,
                        const SourceBrowserObject *entity = nullptr,
                        NulInText nul = NulInText::Possible);
