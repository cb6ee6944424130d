#pragma once

#include <QChar>

// Base of every language colourer. A colourer turns one line at a time into a marked
// buffer (see MarkedLineWriter) and carries whatever must survive the end of a line,
// such as an open block comment, in its line state.
class ZodiDideParser {
public:
    ZodiDideParser() = default;
    ZodiDideParser(const ZodiDideParser &) = delete;
    ZodiDideParser &operator=(const ZodiDideParser &) = delete;
    virtual ~ZodiDideParser();

    // Colours the 0-terminated line at input into output and returns the position just
    // past the terminating 0 written there. output must hold five characters per input
    // character plus three.
    virtual QChar *colourLine(const QChar *input, QChar *output) = 0;

    // 0 is the state before the first line of every colourer.
    void setLineState(int state) { lineState_ = state; }
    int lineState() const { return lineState_; }

protected:
    int lineState_ = 0;
};
