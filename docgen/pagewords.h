#pragma once

#include <QString>

// The words of a page as a reader sees them, by where they stand: headings, running
// text and code. Blocks are separated by a line end, so that words the markup writes
// without a space between two blocks stay apart. The title is the page's own. A
// declaration's page also carries its brief as written in its comment: the page does not
// show it, but it says best what the page is about.
struct PageWords {
    QString headings;
    QString prose;
    QString code;
    QString brief;
};

enum class WordsPart { Prose, Heading, Code };
