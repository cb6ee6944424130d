#pragma once

#include <QString>
#include <QStringView>

#include <memory>

// Serves the lines of a text file one at a time, without their terminators ("\n" or
// "\r\n"). The file is read whole and closed when the reader is made; a file that
// cannot be opened has no lines, and one that fails to be read has the lines before
// the failure; readError() tells why. Reading touches no shared state, so it may happen on
// any thread; the caller records the file among those the run read.
//
// A big file is decoded on a thread of its own, a run of lines at a time, while its
// first lines are already served: a manual of megabytes otherwise has the reader wait
// for all of it before its first line, with the other core idle.
class TextLines {
public:
    TextLines();
    // Files of at least decodeAheadFrom bytes are decoded ahead, in runs of about
    // runBytes; the defaults suit the run, smaller ones let a test cut a file often.
    explicit TextLines(const QString &fileName, qsizetype decodeAheadFrom = 1 << 20,
                       qsizetype runBytes = 256 << 10);
    TextLines(TextLines &&other) noexcept;
    TextLines &operator=(TextLines &&other) noexcept;
    ~TextLines();

    bool isOpen() const { return open_; }
    // The errno of a failure to open the file or to read all of it, or 0. Known once
    // the whole text is: it waits for a file that is still being read.
    int readError() {
        finishDecoding();
        return error_;
    }
    // The characters of the whole text, terminators included.
    qsizetype size() {
        finishDecoding();
        return text_.size();
    }
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
        finishDecoding();
        position_ = available_ = 0;
        return std::move(text_);
    }

private:
    struct Decoding;
    // Waits for the decoding thread to end, and gives the text its decoded size.
    void finishDecoding();

    QString text_;
    qsizetype position_ = 0;
    qsizetype available_ = 0; // characters of text_ that hold whole decoded lines
    bool open_ = false;
    bool sawNul_ = false;
    int error_ = 0;
    // While the file is decoded ahead; it writes into text_ beyond available_ only.
    std::unique_ptr<Decoding> decoding_;
};
