#ifndef SOURCEBROWSER_LINEITERATOR_H
#define SOURCEBROWSER_LINEITERATOR_H

#include <QStringView>

// A source of text lines, read once from first to last.
class SourceBrowserLineIterator {
public:
    virtual ~SourceBrowserLineIterator() = default;

    // Sets `line` to the next line, without its terminator, and returns true; returns
    // false once the input is exhausted. The line is a view into text that the source
    // keeps until the parse has ended: lines are not copied.
    virtual bool getLine(QStringView &line) = 0;
};

#endif
