#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <cstring>

// Four characters from at, as one number (the low byte first on this processor).
inline quint64 fourCharsAt(const char16_t *at) {
    quint64 four;
    std::memcpy(&four, at, sizeof four);
    return four;
}

// One to three characters from at, as one number.
inline quint64 fewCharsAt(const char16_t *at, qsizetype size) {
    quint64 few = at[0];
    if (size > 1)
        few |= quint64(at[1]) << 16;
    if (size > 2)
        few |= quint64(at[2]) << 32;
    return few;
}

// A hash of a text's characters for the tables keyed by names and words. A Qt built
// without the processor's AES instructions, as Debian's is, hashes a QString with
// SipHash, several times the cost of this one; the names come from the files being
// documented, not from an adversary. Most names and words are eight characters or
// fewer, which the first and last four (overlapping when fewer) take in whole; longer
// ones go four at a time. The high half of the last product is well mixed in all its
// bits, so the low bits that open-addressed tables use depend on every character.
inline quint32 textHash(QStringView text) {
    const char16_t *const chars = text.utf16();
    const qsizetype size = text.size();
    quint64 hash = quint64(size) * 0x9e3779b97f4a7c15ull;
    if (size == 0)
        return quint32(hash >> 32);
    if (size < 4)
        return quint32((hash ^ fewCharsAt(chars, size)) * 0xff51afd7ed558ccdull >> 32);
    for (qsizetype k = 0; size - k > 8; k += 4)
        hash = (hash ^ fourCharsAt(chars + k)) * 0xff51afd7ed558ccdull;
    hash = (hash ^ fourCharsAt(chars + size - 4)) * 0xff51afd7ed558ccdull;
    hash = (hash ^ (hash >> 29) ^ fourCharsAt(chars + (size > 8 ? size - 8 : 0))) *
           0xc4ceb9fe1a85ec53ull;
    return quint32(hash >> 32);
}

// textHash for standard containers keyed by QString.
struct TextHash {
    size_t operator()(const QString &text) const noexcept { return textHash(text); }
};
