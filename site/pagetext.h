#pragma once

#include <QString>
#include <QStringView>

// The text that a reader sees of a page's body, with entities decoded, by where it
// stands: inside h1 to h6, inside pre, or anywhere else. Tags other than inline ones
// separate words.
struct PageText {
    QString prose;
    QString headings;
    QString code;
    // Empties the texts and keeps their storage for the next page.
    void clear();
};

// Reads html into text. Scripts, styles and comments give nothing; a page without
// "<body>" is read from its start.
void readPageText(QStringView html, PageText &text);

// Collects the first words of a text given run by run, white space collapsed, as a
// snippet of at most limit characters that ends at a word.
class Snippet {
public:
    explicit Snippet(int limit) : limit_(limit) {}
    void add(QStringView text);
    bool full() const { return full_; }
    QString text() const;

private:
    int limit_;
    bool full_ = false;
    QString text_;
};
