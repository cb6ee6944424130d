#pragma once

#include <QString>
#include <QStringView>

#include <utility>

// Serves the lines of a text file one at a time, without their terminators ("\n" or
// "\r\n"). The file is read whole and closed when the reader is made; a file that
// cannot be opened has no lines, and one that fails to be read has the lines before
// the failure; readError() tells why. Reading touches no shared state, so it may happen on
// any thread; the caller records the file among those the run read.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(const QString &fileName);

    bool isOpen() const { return open_; }
    // The errno of a failure to open the file or to read all of it, or 0.
    int readError() const { return error_; }
    // The characters of the whole text, terminators included.
    qsizetype size() const { return text_.size(); }
    // The next line as a view into the text, valid while this reader lasts.
    bool next(QStringView &line);
    // Whether a line served so far holds a NUL character: noticed in the search for
    // line ends, so that a reader of all the lines knows without looking again.
    bool sawNul() const { return sawNul_; }
    // The text itself, for a caller that writes what it makes of the lines over the
    // ones it is done with: it may overwrite any character before the start of the
    // next line, and the lines still to come stay as they are.
    QChar *writableText() { return text_.data(); }
    // The text as it stands, leaving this reader without lines.
    QString takeText() {
        position_ = 0;
        return std::move(text_);
    }

private:
    QString text_;
    qsizetype position_ = 0;
    bool open_ = false;
    bool sawNul_ = false;
    int error_ = 0;
};
