#pragma once

#include <QString>
#include <QStringView>

#include <functional>

// Where a run of a page's text stands.
enum class TextKind { Prose, Heading, Code };

// Hands the text that a reader sees of a page's body to take, run by run, with entities
// decoded: text inside h1 to h6 as Heading, inside pre as Code. Tags other than inline
// ones separate words. Scripts, styles and comments give nothing; a page without
// "<body>" is read from its start.
void readPageText(QStringView html, const std::function<void(QStringView, TextKind)> &take);

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
