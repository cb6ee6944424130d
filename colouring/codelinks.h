#pragma once

#include "common/wordset.h"

#include <QString>
#include <QStringView>

#include <vector>

// The names of the declarations that get a page, asked about every word of the code and
// the briefs that link to them. Most words name none: a bit for each first character,
// last character and length lets them through without hashing the word.
class PageNames {
public:
    void reserve(qsizetype count) { names_.reserve(count); }
    void insert(const QString &name) {
        if (name.isEmpty())
            return;
        names_.insert(name);
        const size_t bit = sketch(name);
        bits_[bit / 64] |= quint64(1) << (bit % 64);
    }
    // Adds the names of other, which were collected apart.
    void insert(const PageNames &other) {
        for (qsizetype i = 0; i < other.names_.size(); ++i)
            insert(other.names_.at(i));
    }
    bool contains(QStringView word) const {
        if (word.isEmpty())
            return false;
        const size_t bit = sketch(word);
        return (bits_[bit / 64] >> (bit % 64) & 1) != 0 && names_.contains(word);
    }
    qsizetype size() const { return names_.size(); }

private:
    static constexpr size_t Bits = 1 << 16;
    static size_t sketch(QStringView word) {
        const size_t first = word.front().unicode();
        const size_t last = word.back().unicode();
        return (first * 0x9e37 + last * 0x85eb + size_t(word.size()) * 0xc2b3) % Bits;
    }
    WordSet names_;
    std::vector<quint64> bits_ = std::vector<quint64>(Bits / 64);
};

// Links from C code to the pages of the run's documented declarations: a word of the
// code outside comments and literals that names one becomes a link to its page.
struct CodeLinks {
    const PageNames *names = nullptr; // the declarations that get a page
    QString
        prefix; // from the page's folder to the declarations' pages: "" or ending in '/', escaped
    QStringView self; // the declaration whose page this is: never linked
};
