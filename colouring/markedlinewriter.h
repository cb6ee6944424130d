#pragma once

#include "colouring/styles.h"

#include <QChar>

// Writes one coloured line into a caller-provided buffer: characters are copied as they
// are and a two-character marker goes in front of every run of a new style.
class MarkedLineWriter {
public:
    static constexpr int NoStyle = -1;

    // initialStyle is the style that counts as current before any marker is written;
    // the default, plain text, leaves text before the first style change without a span,
    // while NoStyle makes the first styled run always get a marker.
    explicit MarkedLineWriter(QChar *out, int initialStyle = StyleText)
        : out_(out), current_(initialStyle) {}

    void put(QChar c) { *out_++ = c; }

    // Writes a marker even if the style is already current.
    void marker(int style) {
        lastMarker_ = out_;
        *out_++ = QChar(StyleMarker);
        *out_++ = QChar(char16_t(style));
        current_ = style;
    }

    // Writes a marker only when the style changes; reports whether it did.
    bool emit(int style) {
        if (current_ == style)
            return false;
        marker(style);
        return true;
    }

    // Copies count characters from p onward in a run of style (see emit).
    void copyAs(int style, const QChar *&p, int count) {
        emit(style);
        for (; count > 0; --count)
            put(*p++);
    }

    int current() const { return current_; }

    // Where the most recent marker starts, for colourers that restyle a run afterwards.
    QChar *lastMarker() const { return lastMarker_; }

    // Terminates the buffer and returns the position just past the terminator.
    QChar *finish() {
        *out_++ = QChar(0);
        return out_;
    }

private:
    QChar *out_;
    QChar *lastMarker_ = nullptr;
    int current_;
};
