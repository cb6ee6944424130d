#pragma once

#include <QStringView>
#include <QtAlgorithms>
#include <QtGlobal>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The first code unit of [from, end) that is a or b, or end. Eight at a time where the
// processor allows: the texts searched are mostly long runs with few stops. Always
// inlined: a call costs as much as the search of a short run.
Q_ALWAYS_INLINE const char16_t *findEither(const char16_t *from, const char16_t *end, char16_t a,
                                           char16_t b) {
#ifdef __SSE2__
    const __m128i wantA = _mm_set1_epi16(short(a)), wantB = _mm_set1_epi16(short(b));
    for (; end - from >= 8; from += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        const int found = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi16(chunk, wantA), _mm_cmpeq_epi16(chunk, wantB)));
        if (found != 0)
            return from + qCountTrailingZeroBits(uint(found)) / 2;
    }
#endif
    while (from != end && *from != a && *from != b)
        ++from;
    return from;
}

// The first code unit of [from, end) that is one of Stops, or end: findEither for the
// readers of running text, which stop at any of a handful of characters.
template <char16_t... Stops>
Q_ALWAYS_INLINE const char16_t *findAnyOf(const char16_t *from, const char16_t *end) {
#ifdef __SSE2__
    for (; end - from >= 8; from += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        const __m128i hits = (_mm_cmpeq_epi16(chunk, _mm_set1_epi16(short(Stops))) | ...);
        const int found = _mm_movemask_epi8(hits);
        if (found != 0)
            return from + qCountTrailingZeroBits(uint(found)) / 2;
    }
#endif
    while (from != end && ((*from != Stops) && ...))
        ++from;
    return from;
}

// The first place in [from, end) where needle (ASCII, not empty) stands, or end. The
// first character is looked for eight at a time; the rest compared where it is found.
// Qt's own search for a Latin-1 needle costs thousands of instructions a call, which
// adds up over the many short texts of a header.
template <qsizetype N>
Q_ALWAYS_INLINE const char16_t *findText(const char16_t *from, const char16_t *end,
                                         const char (&needle)[N]) {
    constexpr qsizetype size = N - 1;
    static_assert(size > 0, "a needle of one character or more");
    for (; end - from >= size; ++from) {
        from = findEither(from, end - (size - 1), char16_t(needle[0]), char16_t(needle[0]));
        if (from == end - (size - 1))
            break;
        qsizetype i = 1;
        while (i < size && from[i] == char16_t(uchar(needle[i])))
            ++i;
        if (i == size)
            return from;
    }
    return end;
}

// text.indexOf(c, from) with the search above (a negative from counts from the end).
inline qsizetype indexOfChar(QStringView text, char16_t c, qsizetype from = 0) {
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    if (from < 0)
        from = qMax(from + text.size(), qsizetype(0));
    if (from >= text.size())
        return -1;
    const char16_t *const at = findEither(begin + from, end, c, c);
    return at == end ? -1 : at - begin;
}

// text.indexOf(needle, from) for an ASCII needle, with the search above (a negative
// from counts from the end).
template <qsizetype N>
inline qsizetype indexOfText(QStringView text, const char (&needle)[N], qsizetype from = 0) {
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    if (from < 0)
        from += text.size();
    if (from < 0 || from >= text.size())
        return -1;
    const char16_t *const at = findText(begin + from, end, needle);
    return at == end ? -1 : at - begin;
}
