#pragma once

#include <QString>
#include <QStringView>

#include <cstring>

// A hash of a text's characters for the tables keyed by names. A Qt built without the
// processor's AES instructions, as Debian's is, hashes a QString with SipHash, several
// times the cost of this one; the names come from the files being documented, not from
// an adversary. Four characters are taken at a time, and the end is mixed so that the
// low bits, which open-addressed tables use, depend on all of them.
inline size_t textHash(QStringView text) {
    const char16_t *at = text.utf16();
    size_t left = size_t(text.size());
    quint64 h = 0x9e3779b97f4a7c15ull ^ left;
    for (; left >= 4; left -= 4, at += 4) {
        quint64 word;
        std::memcpy(&word, at, sizeof word);
        h = (h ^ word) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    if (left > 0) {
        quint64 word = 0;
        std::memcpy(&word, at, left * sizeof(char16_t));
        h = (h ^ word) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 29;
    return size_t(h);
}

// textHash for standard containers keyed by QString.
struct TextHash {
    size_t operator()(const QString &text) const noexcept { return textHash(text); }
};
