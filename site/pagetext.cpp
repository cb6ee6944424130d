#include "site/pagetext.h"

#include <algorithm>
#include <cstring>

using pagetext::classify;
using pagetext::packed;
using pagetext::Tag;

namespace {

// The character that a named entity stands for, or a null character for one we do not
// know. Names are told by their packed form: pages hold many entities in their code.
char16_t namedEntity(const char16_t *name, qsizetype size) {
    if (size > 8)
        return 0;
    quint64 key = 0;
    for (qsizetype k = 0; k < size; ++k) {
        if (name[k] == 0 || name[k] >= 128)
            return 0;
        key |= quint64(name[k]) << (8 * k);
    }
    switch (key) {
    case packed("amp"):
        return u'&';
    case packed("lt"):
        return u'<';
    case packed("gt"):
        return u'>';
    case packed("quot"):
        return u'"';
    case packed("apos"):
        return u'\'';
    case packed("nbsp"):
        return u' ';
    case packed("middot"):
        return 0xb7;
    case packed("copy"):
        return 0xa9;
    case packed("reg"):
        return 0xae;
    case packed("trade"):
        return 0x2122;
    case packed("mdash"):
        return 0x2014;
    case packed("ndash"):
        return 0x2013;
    case packed("hellip"):
        return 0x2026;
    case packed("rarr"):
        return 0x2192;
    case packed("larr"):
        return 0x2190;
    case packed("times"):
        return 0xd7;
    }
    return 0;
}

// The character that an entity names, or a null character for one we do not know.
char16_t entity(QStringView name) {
    if (!name.startsWith(u'#'))
        return namedEntity(name.utf16(), name.size());
    bool ok = false;
    const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                          ? name.mid(2).toUInt(&ok, 16)
                          : name.mid(1).toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0xffff)
        return 0;
    return code == 160 ? u' ' : char16_t(code);
}

// The tags that change how text is read, known by their names alone; scripts and
// styles are read as Skipped, their text skipped up to their closing tag.
// Names with other than ASCII letters are compared as Qt folds their case, as rare as
// they are.
Tag classifyByFolding(QStringView name) {
    const auto is = [&](const char *lower) {
        return name.compare(QLatin1String(lower), Qt::CaseInsensitive) == 0;
    };
    return is("pre") ? Tag::Pre : is("script") || is("style") ? Tag::Skipped : Tag::Other;
}

bool isAsciiNameChar(char16_t u) {
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

// The first '>' of [from, end), or end.
inline const char16_t *findTagEnd(const char16_t *from, const char16_t *end) {
    return pagetext::findEither(from, end, u'>', u'>');
}

// One of the three texts, written through a pointer into storage sized for the page.
struct Out {
    QString &text;
    char16_t *begin;
    char16_t *end;
    explicit Out(QString &t, qsizetype room) : text(t) {
        text.resize(room);
        begin = end = reinterpret_cast<char16_t *>(text.data());
    }
    void separate() {
        if (end != begin && end[-1] != u' ')
            *end++ = u' ';
    }
    void finish() { text.truncate(end - begin); }
};

// Collects the three texts of a page.
struct TextSink {
    Out prose, headings, code;
    TextSink(PageText &text, qsizetype room)
        : prose(text.prose, room), headings(text.headings, room), code(text.code, room) {}
    Out &of(PagePart part) {
        return part == PagePart::Prose ? prose : part == PagePart::Heading ? headings : code;
    }
    const char16_t *text(const char16_t *at, const char16_t *end, PagePart part) {
        const char16_t *const stop = pagetext::findEither(at, end, u'<', u'&');
        Out &out = of(part);
        std::memcpy(out.end, at, size_t(stop - at) * sizeof(char16_t));
        out.end += stop - at;
        return stop;
    }
    void character(char16_t c, PagePart part) { *of(part).end++ = c; }
    void separate(PagePart part) { of(part).separate(); }
};

} // namespace

const char16_t *pagetext::bodyStart(const char16_t *begin, const char16_t *end) {
    for (const char16_t *at = begin;; ++at) {
        at = findFar(at, end, u'<');
        if (end - at < 6)
            return begin;
        if (at[1] == u'b' && at[2] == u'o' && at[3] == u'd' && at[4] == u'y' && at[5] == u'>')
            return at + 6;
    }
}

char16_t pagetext::entityAt(const char16_t *ampersand, const char16_t *end,
                            const char16_t **after) {
    // A known entity ends with ';' within ten characters of its '&'.
    const char16_t *semicolon = ampersand + 1;
    while (semicolon < end && semicolon - ampersand < 10 && *semicolon != u';' &&
           *semicolon != u'<')
        ++semicolon;
    const char16_t c = semicolon < end && *semicolon == u';'
                           ? entity(QStringView(ampersand + 1, semicolon - ampersand - 1))
                           : 0;
    *after = c != 0 ? semicolon + 1 : ampersand + 1;
    return c != 0 ? c : u'&';
}

pagetext::TagRead pagetext::readTag(const char16_t *open, const char16_t *end) {
    if (end - open >= 4 && open[1] == u'!' && open[2] == u'-' && open[3] == u'-') {
        const qsizetype close = QStringView(open + 4, end).indexOf(QLatin1String("-->"));
        return TagRead{Tag::Inline, false, close < 0 ? end : open + 4 + close + 3};
    }
    const bool closing = end - open > 1 && open[1] == u'/';
    const char16_t *const nameStart = open + (closing ? 2 : 1);
    // The name, packed as it is read; a name of more than six characters is none that
    // matters.
    quint64 key = 0;
    const char16_t *nameEnd = nameStart;
    bool ascii = true;
    for (; nameEnd < end; ++nameEnd) {
        const char16_t u = *nameEnd;
        if (u < 128) {
            if (!isAsciiNameChar(u))
                break;
            // Letters and digits alike are lower-cased by setting this bit.
            if (nameEnd - nameStart < 7)
                key |= quint64(u | 0x20) << (8 * (nameEnd - nameStart));
        } else if (QChar(u).isLetterOrNumber()) {
            ascii = false;
        } else {
            break;
        }
    }
    const char16_t *const close = findTagEnd(nameEnd, end);
    if (close == end)
        return TagRead{Tag::Other, closing, nullptr};
    const qsizetype nameSize = nameEnd - nameStart;
    const QStringView name(nameStart, nameSize);
    const Tag tag = nameSize > 6 ? Tag::Other : ascii ? classify(key) : classifyByFolding(name);
    if (tag != Tag::Skipped || closing)
        return TagRead{tag == Tag::Skipped ? Tag::Other : tag, closing, close + 1};
    // A script or style: its text is skipped up to its closing tag.
    const QString endTag = QLatin1String("</") + name.toString().toLower();
    const qsizetype skip = QStringView(close + 1, end).indexOf(endTag, 0, Qt::CaseInsensitive);
    return TagRead{Tag::Skipped, false, skip < 0 ? end : close + 1 + skip};
}

void readPageText(QStringView html, PageText &text, bool afterBody) {
    // No text grows past the page: entities shrink, and a tag adds at most one space to
    // each text.
    TextSink sink(text, html.size());
    readPage(html, sink, afterBody);
    sink.prose.finish();
    sink.headings.finish();
    sink.code.finish();
}

namespace {

// White space in ASCII, as QChar::isSpace tells it.
constexpr struct AsciiSpace {
    bool of[128] = {};
    constexpr AsciiSpace() {
        for (int c = 0; c < 128; ++c)
            of[c] = c == ' ' || (c >= 0x09 && c <= 0x0d);
    }
} asciiSpace;

} // namespace

void Snippet::addWords(const char16_t *begin, const char16_t *end) {
    // Runs of white space become one space; a word that does not fit ends the snippet
    // with what fits of it.
    char16_t *const out = text_.data();
    const int limit = limit_;
    int length = length_;
    for (const char16_t *in = begin; in != end;) {
#ifdef __SSE2__
        // Letters and the like are copied up to the next space, eight at a time; the
        // last eight may be copied whole, as text_ has room for them.
        if (end - in >= 8 && limit - length >= 8) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
            // Below '!' or beyond ASCII (negative as signed numbers, so below '!' too).
            const int special =
                _mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi16(chunk, _mm_set1_epi16(0x21)),
                                               _mm_cmpgt_epi16(chunk, _mm_set1_epi16(0x7f))));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + length), chunk);
            const int plain = special == 0 ? 8 : int(qCountTrailingZeroBits(uint(special))) / 2;
            length += plain;
            in += plain;
            if (plain == 8)
                continue;
        }
#endif
        const char16_t c = *in++;
        if (c < 128 ? asciiSpace.of[c] : QChar::isSpace(c)) {
            if (length > 0 && out[length - 1] != u' ')
                out[length++] = u' ';
        } else if (length < limit) {
            out[length++] = c;
        } else {
            full_ = true;
            break;
        }
    }
    length_ = length;
}

void Snippet::collapseKept() {
    if (keptLength_ > 0)
        addWords(kept_.data(), kept_.data() + keptLength_);
    keptLength_ = 0;
    // A full snippet takes nothing more.
    if (full_)
        room_ = 0;
}

void Snippet::addBeyondRoom(const char16_t *begin, const char16_t *end) {
    collapseKept();
    if (!full_)
        addWords(begin, end);
    if (full_)
        room_ = 0;
}

QString Snippet::text() {
    collapseKept();
    QString text = QStringView(text_.data(), length_).trimmed().toString();
    if (!full_)
        return text;
    // Cut back to the last whole word.
    const qsizetype space = text.lastIndexOf(u' ');
    if (space > limit_ / 2)
        text.truncate(space);
    return text + QStringLiteral(" …");
}
