#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

#include <cstring>
#include <memory>

// The text of a site file, formed as UTF-8 bytes in place. The files are long runs of
// short pieces, mostly ASCII markup; forming them as UTF-16 strings and converting
// those afterwards cost more than forming them.
class TextOut {
public:
    // ASCII as it stands.
    void put(const char *text, qsizetype size) {
        reserve(size);
        std::memcpy(end_, text, size_t(size));
        end_ += size;
    }
    template <std::size_t N>
    void put(const char (&literal)[N]) {
        put(literal, qsizetype(N - 1));
    }
    void put(char c) {
        reserve(1);
        *end_++ = c;
    }
    void put(const TextOut &other) { put(other.data(), other.size()); }
    void putNumber(quint64 number);
    // Text as QString::toUtf8 encodes it.
    void putText(QStringView text);
    // Text with &, <, > and " written as entities.
    void putEscaped(QStringView text);
    // A JavaScript string literal in ASCII, so that a script reads the same whatever
    // encoding the browser assumes for it, and "</script>" cannot end an inline script.
    void putJs(QStringView text);

    const char *data() const { return storage_.get(); }
    qsizetype size() const { return end_ - storage_.get(); }
    bool isEmpty() const { return size() == 0; }
    void clear() { end_ = storage_.get(); }

private:
    void reserve(qsizetype more) {
        if (limit_ - end_ < more)
            grow(more);
    }
    void grow(qsizetype more);
    // Copies a run of characters beyond ASCII as QString::toUtf8 encodes them.
    void putWide(QStringView text);

    std::unique_ptr<char[]> storage_;
    char *end_ = nullptr;
    char *limit_ = nullptr;
};

// A file written as its text is formed, so that a long page is never held whole.
class TextFile {
public:
    explicit TextFile(const QString &fileName);
    TextOut &text() { return text_; }
    // Writes what has been formed once there is enough of it.
    void flushSome() {
        if (text_.size() >= 64 * 1024)
            flush();
    }
    // Returns an error message, empty on success.
    QByteArray close();

private:
    void flush();
    QFile file_;
    TextOut text_;
    bool opened_ = false;
    bool failed_ = false;
};

// Writes a whole file; returns an error message, empty on success.
QByteArray writeTextFile(const QString &fileName, const TextOut &text);
