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
        : m_out(out), m_current(initialStyle) {}

    void put(QChar c) { *m_out++ = c; }

    // Writes a marker even if the style is already current.
    void marker(int style) {
        m_lastMarker = m_out;
        *m_out++ = QChar(StyleMarker);
        *m_out++ = QChar(char16_t(style));
        m_current = style;
    }

    // Writes a marker only when the style changes; reports whether it did.
    bool emit(int style) {
        if (m_current == style)
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

    int current() const { return m_current; }

    // Where the most recent marker starts, for colourers that restyle a run afterwards.
    QChar *lastMarker() const { return m_lastMarker; }

    // Terminates the buffer and returns the position just past the terminator.
    QChar *finish() {
        *m_out++ = QChar(0);
        return m_out;
    }

private:
    QChar *m_out;
    QChar *m_lastMarker = nullptr;
    int m_current;
};
