#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <vector>

// A set of words fixed once built, asked whether it holds a run of characters without
// making a string of them: colourers ask it for every word of every code sample, and
// hashing a QString through Qt cost more than the rest of colouring the word.
class WordSet {
public:
    WordSet() = default;
    template <typename Words>
    explicit WordSet(const Words &words) {
        for (const auto &word : words)
            words_.push_back(QString(word));
        slots_.assign(std::max<size_t>(16, roundUp(words_.size() * 4)), 0);
        const size_t mask = slots_.size() - 1;
        for (size_t id = 0; id < words_.size(); ++id) {
            const QString &word = words_[id];
            longest_ = std::max(longest_, word.size());
            if (contains(word))
                continue;
            size_t slot = hash(word) & mask;
            while (slots_[slot] != 0)
                slot = (slot + 1) & mask;
            slots_[slot] = quint32(id + 1);
        }
    }

    bool contains(QStringView word) const {
        if (word.size() > longest_ || slots_.empty())
            return false;
        const size_t mask = slots_.size() - 1;
        for (size_t slot = hash(word) & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
            const QString &stored = words_[slots_[slot] - 1];
            if (stored.size() == word.size() &&
                std::memcmp(stored.constData(), word.data(), size_t(word.size()) * 2) == 0)
                return true;
        }
        return false;
    }

private:
    // FNV-1a over the code units: words are short, so this is a few multiplications.
    static quint32 hash(QStringView word) {
        quint32 h = 2166136261u ^ quint32(word.size());
        for (const QChar c : word)
            h = (h ^ c.unicode()) * 16777619u;
        return h;
    }
    static size_t roundUp(size_t n) {
        size_t size = 1;
        while (size < n)
            size *= 2;
        return size;
    }

    std::vector<QString> words_;
    std::vector<quint32> slots_; // index into words_ + 1; 0 for none
    qsizetype longest_ = 0;
};
