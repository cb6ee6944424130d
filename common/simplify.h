#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Whether text is as QString::simplified() would leave it: no white space at its ends,
// and none within but single spaces. Eight characters at a time while they are printable
// ASCII, as one-line arguments mostly are.
inline bool isSimplified(QStringView text) {
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    if (begin == end)
        return true;
    if (begin->unicode() == u' ' || end[-1].unicode() == u' ')
        return false;
    const QChar *at = begin;
#ifdef __SSE2__
    const __m128i space = _mm_set1_epi16(' ');
    const __m128i zero = _mm_setzero_si128();
    // Each of the eight characters from at, with the one after it: while the one after
    // the eighth is within the text.
    for (; end - at > 8; at += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 1));
        // Printable ASCII but the space: its distance from '!', saturated at 0x5d, is zero.
        const __m128i printable = _mm_cmpeq_epi16(
            _mm_subs_epu16(_mm_sub_epi16(here, _mm_set1_epi16('!')), _mm_set1_epi16(0x5d)), zero);
        const __m128i isSpace = _mm_cmpeq_epi16(here, space);
        if (_mm_movemask_epi8(_mm_or_si128(printable, isSpace)) != 0xffff)
            break; // another character: told one at a time below
        if (_mm_movemask_epi8(_mm_and_si128(isSpace, _mm_cmpeq_epi16(next, space))) != 0)
            return false; // two spaces in a row
    }
#endif
    bool afterSpace = at != begin && at[-1].unicode() == u' ';
    for (; at != end; ++at) {
        const char16_t c = at->unicode();
        if (c == u' ') {
            if (afterSpace)
                return false;
            afterSpace = true;
        } else if (c < 0x80 ? c >= u'\t' && c <= u'\r' : at->isSpace()) {
            return false;
        } else {
            afterSpace = false;
        }
    }
    return true;
}

// QString::simplified(), with a text that is simple already (as most one-line
// arguments are) kept as it is after one quick pass instead of Qt's copy.
inline QString simplified(QString &&text) {
    if (isSimplified(text))
        return std::move(text);
    return std::move(text).simplified();
}
