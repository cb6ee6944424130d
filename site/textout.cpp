#include "site/textout.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The ASCII characters that a script string holds as they stand.
constexpr struct JsPlain {
    bool of[128] = {};
    constexpr JsPlain() {
        for (int c = 0x20; c < 0x7f; ++c)
            of[c] = c != '"' && c != '\\' && c != '<' && c != '>';
    }
} jsPlain;

// Copies the characters from at on that are written as they stand, eight at a time
// where the processor allows, up to the first group of eight that holds one of
// special, one from limit on, or (with controls) one below space. Returns where the
// copy stopped; the caller goes on one character at a time.
inline const char16_t *copyPlain(const char16_t *at, const char16_t *end, char *&out,
                                 char16_t limit, bool controls, const char (&special)[5]) {
#ifdef __SSE2__
    const __m128i toTop = _mm_set1_epi16(short(0x8000 - limit));
    const __m128i low = _mm_set1_epi16(short(controls ? 0x20 : 0));
    const __m128i s0 = _mm_set1_epi16(special[0]), s1 = _mm_set1_epi16(special[1]),
                  s2 = _mm_set1_epi16(special[2]), s3 = _mm_set1_epi16(special[3]);
    for (; end - at >= 8; at += 8, out += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        // From limit on, the top bit is set (the sum saturates rather than wraps);
        // beyond 0x7fff the signed comparison with low holds.
        __m128i stop = _mm_or_si128(_mm_srai_epi16(_mm_adds_epu16(chunk, toTop), 15),
                                    _mm_cmplt_epi16(chunk, low));
        stop = _mm_or_si128(stop,
                            _mm_or_si128(_mm_cmpeq_epi16(chunk, s0), _mm_cmpeq_epi16(chunk, s1)));
        stop = _mm_or_si128(stop,
                            _mm_or_si128(_mm_cmpeq_epi16(chunk, s2), _mm_cmpeq_epi16(chunk, s3)));
        if (_mm_movemask_epi8(stop) != 0)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(chunk, chunk));
    }
#else
    (void)end;
    (void)out;
    (void)limit;
    (void)controls;
    (void)special;
#endif
    return at;
}

} // namespace

void TextOut::grow(qsizetype more) {
    const qsizetype used = size();
    const qsizetype capacity = std::max<qsizetype>(4096, std::max(used + more, 2 * used));
    std::unique_ptr<char[]> bigger(new char[size_t(capacity)]);
    if (used > 0)
        std::memcpy(bigger.get(), storage_.get(), size_t(used));
    storage_ = std::move(bigger);
    end_ = storage_.get() + used;
    limit_ = storage_.get() + capacity;
}

void TextOut::putNumber(quint64 number) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = char('0' + number % 10);
        number /= 10;
    } while (number > 0);
    reserve(count);
    while (count > 0)
        *end_++ = digits[--count];
}

void TextOut::putWide(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    put(bytes.constData(), bytes.size());
}

void TextOut::putText(QStringView text) {
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    reserve(text.size());
    char *const start = end_;
    for (const char16_t *at = copyPlain(begin, end, end_, 128, false, "\0\0\0\0"); at != end;
         ++at) {
        if (*at >= 128) {
            end_ = start;
            putWide(text);
            return;
        }
        *end_++ = char(*at);
    }
}

void TextOut::putEscaped(QStringView text) {
    const char16_t *at = text.utf16();
    const char16_t *const end = at + text.size();
    // Each character becomes at most six bytes; runs beyond ASCII are encoded by Qt, in
    // fewer.
    reserve(text.size() * 6);
    while (at != end) {
        at = copyPlain(at, end, end_, 128, false, "&<>\"");
        // The group of eight that stopped the copy, or the last few characters, one at a
        // time: short texts, as most are, are then mostly written here.
        for (const char16_t *const group = std::min(end, at + 8); at < group;) {
            if (*at >= 128) {
                const char16_t *const wide = at;
                while (at != end && *at >= 128)
                    ++at;
                putWide(QStringView(wide, at - wide));
                continue;
            }
            const auto put = [this](const auto &entity) {
                std::memcpy(end_, entity, sizeof entity - 1);
                end_ += sizeof entity - 1;
            };
            switch (*at) {
            case '&':
                put("&amp;");
                break;
            case '<':
                put("&lt;");
                break;
            case '>':
                put("&gt;");
                break;
            case '"':
                put("&quot;");
                break;
            default:
                *end_++ = char(*at);
            }
            ++at;
        }
    }
}

void TextOut::putJs(QStringView text) {
    static const char hex[] = "0123456789abcdef";
    // Each character becomes at most six bytes, and the quotes two.
    reserve(text.size() * 6 + 2);
    *end_++ = '"';
    const char16_t *at = text.utf16();
    const char16_t *const end = at + text.size();
    while (at != end) {
        at = copyPlain(at, end, end_, 0x7f, true, "\"\\<>");
        // The group of eight that stopped the copy, or the last few characters, one at a
        // time.
        for (const char16_t *const group = std::min(end, at + 8); at != group;) {
            const char16_t u = *at++;
            if (u < 128 && jsPlain.of[u]) {
                *end_++ = char(u);
            } else if (u == '"' || u == '\\') {
                *end_++ = '\\';
                *end_++ = char(u);
            } else {
                end_[0] = '\\';
                end_[1] = 'u';
                end_[2] = hex[(u >> 12) & 15];
                end_[3] = hex[(u >> 8) & 15];
                end_[4] = hex[(u >> 4) & 15];
                end_[5] = hex[u & 15];
                end_ += 6;
            }
        }
    }
    *end_++ = '"';
}

TextFile::TextFile(const QString &fileName) : file_(fileName) {
    opened_ = file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void TextFile::flush() {
    if (!opened_ || failed_ || text_.isEmpty())
        return;
    failed_ = file_.write(text_.data(), text_.size()) != text_.size();
    text_.clear();
}

QByteArray TextFile::close() {
    if (!opened_)
        return "cannot open " + file_.fileName().toUtf8();
    flush();
    if (failed_)
        return "cannot write " + file_.fileName().toUtf8();
    file_.close();
    return QByteArray();
}

QByteArray writeTextFile(const QString &fileName, const TextOut &text) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return "cannot open " + fileName.toUtf8();
    if (file.write(text.data(), text.size()) != text.size())
        return "cannot write " + fileName.toUtf8();
    return QByteArray();
}
