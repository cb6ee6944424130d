#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <cstring>

// Appends to a text in place while it has room, as the text of a page mostly has: it is
// made in room as large as the page before it needed. QString's own appends go through
// an out-of-line check for growth on every call, which cost more than copying the short
// pieces that a page is made of; where there is no room, they serve. The text is the
// same either way. Converts to the text, for calls that take it whole.
class TextAppender {
public:
    explicit TextAppender(QString &text) : text_(text) {}

    void append(const QChar *chars, qsizetype count) {
        if (count <= 0)
            return; // as QString's appends: an empty piece leaves a null text null
        if (char16_t *const end = room(count)) {
            std::memcpy(end, chars, size_t(count) * sizeof(QChar));
            grow(count);
        } else {
            text_.append(chars, count);
        }
    }
    TextAppender &operator+=(QStringView view) {
        append(view.data(), view.size());
        return *this;
    }
    TextAppender &operator+=(const QString &text) { return *this += QStringView(text); }
    TextAppender &operator+=(QLatin1String latin1) {
        const qsizetype count = latin1.size();
        if (count <= 0)
            return *this;
        if (char16_t *const end = room(count)) {
            const char *const from = latin1.data();
            for (qsizetype i = 0; i < count; ++i)
                end[i] = uchar(from[i]);
            grow(count);
        } else {
            text_.append(latin1);
        }
        return *this;
    }
    TextAppender &operator+=(QChar c) {
        if (char16_t *const end = room(1)) {
            *end = c.unicode();
            grow(1);
        } else {
            text_.append(c);
        }
        return *this;
    }
    TextAppender &operator+=(QLatin1Char c) { return *this += QChar(c); }
    // Anything else (a concatenation) goes the text's own way.
    template <typename Other>
    TextAppender &operator+=(const Other &other) {
        text_ += other;
        return *this;
    }

    operator QString &() { return text_; }

private:
    // Where count more characters and the terminating 0 go, when they fit in the room
    // that the text holds alone; null otherwise.
    char16_t *room(qsizetype count) {
        QString::DataPointer &d = text_.data_ptr();
        if (d.needsDetach() || d.freeSpaceAtEnd() <= count)
            return nullptr;
        return d.data() + d.size;
    }
    void grow(qsizetype count) {
        QString::DataPointer &d = text_.data_ptr();
        d.size += count;
        d.data()[d.size] = u'\0';
    }

    QString &text_;
};
