#pragma once

#include <QString>
#include <QStringView>

// Serves the lines of a text file one at a time, without their terminators ("\n" or
// "\r\n"). The file is read whole and closed when the reader is made; a file that
// cannot be opened has no lines. Reading touches no shared state, so it may happen on
// any thread; the caller records the file among those the run read.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(const QString &fileName);

    bool isOpen() const { return open_; }
    // The characters of the whole text, terminators included.
    qsizetype size() const { return text_.size(); }
    // The next line as a view into the text, valid while this reader lasts.
    bool next(QStringView &line);

private:
    QString text_;
    qsizetype position_ = 0;
    bool open_ = false;
};
