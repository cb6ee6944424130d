#pragma once

#include <QString>

class DocGen;

// The block the interpreter is writing into. Paragraphs, lists, tables and code
// blocks are opened and closed only through switchBlock, so the HTML stays balanced.
enum BlockState : int {
    BlockNone = 0,
    BlockParagraph = 1,
    BlockBulletList = 2,
    BlockDefinitionList = 3,
    BlockNumberedList = 4,
    BlockCode = 5,
    BlockTable = 6,
    BlockMatrix = 7,
};

// Moves the DocGen's block state to state, writing the closing text of the old block
// and the opening text of the new one. A request for a paragraph inside a list, table
// or code block keeps that block open, so inline commands write inside it. columns and
// widths fill the table openers.
void switchBlock(DocGen &docGen, int state, const QString &columns = QString(),
                 const QString &widths = QString());
