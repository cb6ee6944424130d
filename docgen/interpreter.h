#pragma once

#include "docgen/argumentreaders.h"

#include <QHash>
#include <QString>

class DocGen;
class SourceBrowserObject;

// The state of one run of the markup interpreter over one text. Command handlers get
// it by reference: they read their arguments from the cursor and write into the
// DocGen's page body.
struct MarkupInterpreter {
    MarkupInterpreter(DocGen &doc, const QString &text, const SourceBrowserObject *entity);

    DocGen &doc;
    const QString &text;  // the whole text being read
    MarkupCursor cursor;  // the next character to read; a NUL character ends the text
    const QChar *textEnd; // the first NUL character: where reading stops
    QString commandName;  // the command being handled
    // The documented entity whose comment is read, or none for a manual source.
    const SourceBrowserObject *entity;
    QString entityKey; // the entity's name, or "Untitled"
    QString group;     // the entity's group
    QString brief;     // the entity's brief description
    int tableRow = 0;  // rows of the table or matrix being built
    int tableCell = 0; // cells of the current matrix row

    // The two ways a command reads its argument.
    QString readWord() { return readBracedOrWord(cursor); }
    QString readLine() { return readBracedOrLine(cursor); }
    // Whether the character right after the command name is c (no space between).
    bool nextIs(char16_t c) const { return cursor->unicode() == c; }
    // Consumes c when it comes next.
    bool take(char16_t c);
    // switchBlock to BlockNone: closes every open paragraph, list, table or code block.
    void closeBlocks();
};

using CommandHandler = void (*)(MarkupInterpreter &);

// The command vocabulary: command name to handler. Adding a command is adding a row.
class CommandTable {
public:
    void add(const char *name, CommandHandler handler);
    CommandHandler find(const QString &name) const { return handlers_.value(name); }

private:
    QHash<QString, CommandHandler> handlers_;
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
                        const SourceBrowserObject *entity = nullptr);
