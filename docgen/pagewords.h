#pragma once

#include <QString>

// The words of a page as a reader sees them, by where they stand: headings, running
// text and code. Blocks are separated by a line end, so that words the markup writes
// without a space between two blocks stay apart. The title is the page's own.
struct PageWords {
    QString headings;
    QString prose;
    QString code;
};

enum class WordsPart { Prose, Heading, Code };
