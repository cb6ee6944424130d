#ifndef SOURCEBROWSER_LINEITERATOR_H
#define SOURCEBROWSER_LINEITERATOR_H

#include <QString>

// A source of text lines, read once from first to last.
class SourceBrowserLineIterator {
public:
    virtual ~SourceBrowserLineIterator() = default;

    // Fills `line` with the next line, without its terminator, and returns true;
    // returns false once the input is exhausted.
    virtual bool getLine(QString &line) = 0;
};

#endif
