#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The text of a site file, formed as UTF-8 bytes: long runs of short pieces, mostly
// ASCII markup.
class TextOut {
public:
    // ASCII as it stands.
    void put(const char *text, qsizetype size) { bytes_.append(text, size); }
    template <std::size_t N>
    void put(const char (&literal)[N]) {
        put(literal, qsizetype(N - 1));
    }
    void put(char c) { bytes_.append(c); }
    void putCString(const char *text) { bytes_.append(text); }
    void put(const TextOut &other) { bytes_.append(other.bytes_); }
    void putNumber(quint64 number) { bytes_.append(QByteArray::number(number)); }
    // Text as QString::toUtf8 encodes it.
    void putText(QStringView text) { bytes_.append(text.toUtf8()); }
    // Text with &, <, > and " written as entities: the site's one escaper.
    void putEscaped(QStringView text);
    // A JavaScript string literal in ASCII, so that a script reads the same whatever
    // encoding the browser assumes for it, and "</script>" cannot end an inline script.
    void putJs(QStringView text);
    // A JSON string in UTF-8, for text that a script parses rather than runs.
    void putJson(QStringView text);

    const QByteArray &bytes() const { return bytes_; }
    qsizetype size() const { return bytes_.size(); }
    bool isEmpty() const { return bytes_.isEmpty(); }
    void clear() { bytes_.resize(0); }

private:
    QByteArray bytes_;
};
