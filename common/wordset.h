#pragma once

#include "common/texthash.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <vector>

// A set of words, asked whether it holds a run of characters without making a string
// of them: colourers ask it for every word of every code sample, and hashing a QString
// through Qt cost more than the rest of colouring the word.
class WordSet {
public:
    WordSet() = default;
    template <typename Words>
    explicit WordSet(const Words &words) {
        for (const auto &word : words)
            insert(QString(word));
    }

    bool contains(QStringView word) const { return indexOf(word) >= 0; }
    // Where word stands in the order the words were added; -1 when it is not there.
    qsizetype indexOf(QStringView word) const {
        if (word.size() > longest_ || slots_.empty())
            return -1;
        const size_t mask = slots_.size() - 1;
        for (size_t slot = hash(word) & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
            const QString &stored = words_[slots_[slot] - 1];
            if (stored.size() == word.size() &&
                std::memcmp(stored.constData(), word.data(), size_t(word.size()) * 2) == 0)
                return qsizetype(slots_[slot] - 1);
        }
        return -1;
    }
    qsizetype size() const { return qsizetype(words_.size()); }
    // The word at index, in the order the words were added.
    const QString &at(qsizetype index) const { return words_[size_t(index)]; }
    // Adds word unless it is there; returns whether it was added.
    bool insert(const QString &word) {
        if (contains(word))
            return false;
        words_.push_back(word);
        longest_ = std::max(longest_, word.size());
        // Kept at most half full.
        if (words_.size() * 2 > slots_.size()) {
            slots_.assign(std::max<size_t>(16, slots_.size() * 2), 0);
            for (size_t id = 0; id + 1 < words_.size(); ++id)
                place(id);
        }
        place(words_.size() - 1);
        return true;
    }
    // Makes room for count words in all, so that adding them rehashes nothing.
    void reserve(qsizetype count) {
        size_t slots = std::max<size_t>(16, slots_.size());
        while (size_t(count) * 2 > slots)
            slots *= 2;
        words_.reserve(size_t(count));
        if (slots == slots_.size())
            return;
        slots_.assign(slots, 0);
        for (size_t id = 0; id < words_.size(); ++id)
            place(id);
    }
    void clear() {
        words_.clear();
        slots_.clear();
        longest_ = 0;
    }

private:
    static size_t hash(QStringView word) { return textHash(word); }
    void place(size_t id) {
        const size_t mask = slots_.size() - 1;
        size_t slot = hash(words_[id]) & mask;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask;
        slots_[slot] = quint32(id + 1);
    }

    std::vector<QString> words_;
    std::vector<quint32> slots_; // index into words_ + 1; 0 for none
    qsizetype longest_ = 0;
};
