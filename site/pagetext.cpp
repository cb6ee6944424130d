#include "site/pagetext.h"

#include <QtAlgorithms>

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The character that an entity names, or a null character for one we do not know.
QChar entity(QStringView name) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0xffff)
            return QChar();
        return code == 160 ? QChar(u' ') : QChar(char16_t(code));
    }
    static const struct {
        const char16_t *name;
        char16_t c;
    } known[] = {{u"amp", u'&'},      {u"lt", u'<'},      {u"gt", u'>'},      {u"quot", u'"'},
                 {u"apos", u'\''},    {u"nbsp", u' '},    {u"middot", 0xb7},  {u"copy", 0xa9},
                 {u"reg", 0xae},      {u"trade", 0x2122}, {u"mdash", 0x2014}, {u"ndash", 0x2013},
                 {u"hellip", 0x2026}, {u"rarr", 0x2192},  {u"larr", 0x2190},  {u"times", 0xd7}};
    for (const auto &k : known)
        if (name == QStringView(k.name))
            return QChar(k.c);
    return QChar();
}

// The tags that change how text is read, known by their names alone.
enum class Tag { Inline, Heading, Pre, Script, Style, Other };

// A name of up to eight ASCII letters and digits, lower-cased, one byte each.
constexpr quint64 packed(const char *name) {
    quint64 key = 0;
    for (int i = 0; name[i]; ++i)
        key |= quint64(uchar(name[i])) << (8 * i);
    return key;
}

// Names with other than ASCII letters are compared as Qt folds their case, as rare as
// they are.
Tag classifyByFolding(QStringView name) {
    const auto is = [&](const char *lower) {
        return name.compare(QLatin1String(lower), Qt::CaseInsensitive) == 0;
    };
    return is("pre")      ? Tag::Pre
           : is("script") ? Tag::Script
           : is("style")  ? Tag::Style
                          : Tag::Other;
}

// Inline elements sit inside a line of text: their edges do not end a word. Pages are
// mostly spans of coloured code, so a name is told by its packed form alone.
Tag classify(quint64 key) {
    switch (key) {
    case packed("a"):
    case packed("b"):
    case packed("i"):
    case packed("u"):
    case packed("em"):
    case packed("strong"):
    case packed("span"):
    case packed("tt"):
    case packed("code"):
    case packed("sub"):
    case packed("sup"):
    case packed("font"):
    case packed("small"):
    case packed("big"):
    case packed("kbd"):
    case packed("var"):
    case packed("mark"):
    case packed("abbr"):
    case packed("cite"):
    case packed("samp"):
        return Tag::Inline;
    case packed("h1"):
    case packed("h2"):
    case packed("h3"):
    case packed("h4"):
    case packed("h5"):
    case packed("h6"):
        return Tag::Heading;
    case packed("pre"):
        return Tag::Pre;
    case packed("script"):
        return Tag::Script;
    case packed("style"):
        return Tag::Style;
    }
    return Tag::Other;
}

bool isAsciiNameChar(char16_t u) {
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

// The first of [from, end) that is a or b, or end; eight characters at a time where the
// processor allows, as pages are mostly long attributes and short runs of text.
const char16_t *findEither(const char16_t *from, const char16_t *end, char16_t a, char16_t b) {
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

} // namespace

void PageText::clear() {
    prose.resize(0);
    headings.resize(0);
    code.resize(0);
}

void readPageText(QStringView html, PageText &text) {
    const char16_t *const data = html.utf16();
    const qsizetype size = html.size();
    qsizetype i = html.indexOf(QLatin1String("<body>"));
    i = i < 0 ? 0 : i + 6;
    // No text grows past the page: entities shrink, and a tag adds at most one space to
    // each text.
    Out prose(text.prose, size), headingText(text.headings, size), codeText(text.code, size);
    int headings = 0, code = 0;
    const auto current = [&]() -> Out & {
        return headings > 0 ? headingText : code > 0 ? codeText : prose;
    };
    while (i < size) {
        // The run of text up to the next tag, entities decoded.
        Out &out = current();
        char16_t *to = out.end;
        while (i < size) {
            const qsizetype stop = findEither(data + i, data + size, u'<', u'&') - data;
            std::memcpy(to, data + i, size_t(stop - i) * sizeof(char16_t));
            to += stop - i;
            i = stop;
            if (i == size || data[i] == u'<')
                break;
            // A known entity ends with ';' within ten characters of its '&'.
            qsizetype semicolon = i + 1;
            while (semicolon < size && semicolon - i < 10 && data[semicolon] != u';' &&
                   data[semicolon] != u'<')
                ++semicolon;
            const QChar c = semicolon < size && data[semicolon] == u';'
                                ? entity(html.mid(i + 1, semicolon - i - 1))
                                : QChar();
            if (!c.isNull()) {
                *to++ = c.unicode();
                i = semicolon + 1;
            } else {
                *to++ = u'&';
                ++i;
            }
        }
        out.end = to;
        if (i >= size)
            break;
        const qsizetype open = i;
        if (size - open >= 4 && data[open + 1] == u'!' && data[open + 2] == u'-' &&
            data[open + 3] == u'-') {
            const qsizetype close = html.indexOf(QLatin1String("-->"), open + 4);
            i = close < 0 ? size : close + 3;
            continue;
        }
        const bool closing = open + 1 < size && data[open + 1] == u'/';
        const qsizetype nameStart = open + (closing ? 2 : 1);
        // The name, packed as it is read; a name of more than six characters is none
        // that matters.
        quint64 key = 0;
        qsizetype nameEnd = nameStart;
        bool ascii = true;
        for (; nameEnd < size; ++nameEnd) {
            const char16_t u = data[nameEnd];
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
        const qsizetype close = findEither(data + nameEnd, data + size, u'>', u'>') - data;
        if (close >= size)
            break;
        i = close + 1;
        const qsizetype nameSize = nameEnd - nameStart;
        const Tag tag = nameSize > 6 ? Tag::Other
                        : ascii      ? classify(key)
                                     : classifyByFolding(html.mid(nameStart, nameSize));
        if (tag == Tag::Inline)
            continue;
        // Block edges separate words that the markup writes without a space.
        current().separate();
        const int step = closing ? -1 : 1;
        if (tag == Tag::Heading) {
            headings = std::max(0, headings + step);
        } else if (tag == Tag::Pre) {
            code = std::max(0, code + step);
        } else if (!closing && (tag == Tag::Script || tag == Tag::Style)) {
            const QString end =
                QLatin1String("</") + html.mid(nameStart, nameEnd - nameStart).toString().toLower();
            const qsizetype skip = html.indexOf(end, i, Qt::CaseInsensitive);
            i = skip < 0 ? size : skip;
        }
        current().separate();
    }
    prose.finish();
    headingText.finish();
    codeText.finish();
}

void Snippet::add(QStringView text) {
    // Written in place: the snippet never grows past its limit and one space.
    qsizetype length = text_.size();
    text_.resize(limit_ + 1);
    char16_t *const out = reinterpret_cast<char16_t *>(text_.data());
    const char16_t *const in = text.utf16();
    const qsizetype size = text.size();
    // Runs of white space become one space; words are copied whole.
    qsizetype i = 0;
    while (i < size && !full_) {
        if (QChar::isSpace(in[i])) {
            while (i < size && QChar::isSpace(in[i]))
                ++i;
            if (length > 0 && out[length - 1] != u' ')
                out[length++] = u' ';
            continue;
        }
        qsizetype end = i;
        while (end < size && !QChar::isSpace(in[end]))
            ++end;
        const qsizetype room = limit_ - length;
        const qsizetype copied = end - i > room ? std::max<qsizetype>(room, 0) : end - i;
        std::memcpy(out + length, in + i, size_t(copied) * sizeof(char16_t));
        length += copied;
        full_ = end - i > room;
        i = end;
    }
    text_.truncate(length);
}

QString Snippet::text() const {
    QString text = text_.trimmed();
    if (!full_)
        return text;
    // Cut back to the last whole word.
    const qsizetype space = text.lastIndexOf(u' ');
    if (space > limit_ / 2)
        text.truncate(space);
    return text + QStringLiteral(" …");
}
