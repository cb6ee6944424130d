#pragma once

#include "common/findeither.h"
#include "common/texthash.h"

#include <QString>
#include <QStringView>
#include <QtAlgorithms>

#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Where a piece of a page's text stands: inside h1 to h6, inside pre, or anywhere else.
enum class PagePart { Prose, Heading, Code };

// Reads the text that a reader sees of a page's body and hands it to sink in order:
//   const char16_t *sink.text(const char16_t *at, const char16_t *end, PagePart part)
//       reads the characters from at as they stand, up to the first '<' or '&' or end,
//       and returns where it stopped;
//   sink.character(char16_t c, PagePart part)
//       the character that an entity stands for;
//   sink.separate(PagePart part)
//       the edge of a block in part: tags other than inline ones separate words.
// Scripts, styles and comments give nothing; a page without "<body>" is read from its
// start.
// With afterBody, html is the page's body alone and is read from its start: the tags
// around a body give a reader no words, and its snippet no more than white space.
template <typename Sink>
void readPage(QStringView html, Sink &sink, bool afterBody = false);

// The page's text collected by where it stands, with a space for each edge of a block.
struct PageText {
    QString prose;
    QString headings;
    QString code;
};
void readPageText(QStringView html, PageText &text, bool afterBody = false);

// Collects the first words of a text given run by run, white space collapsed, as a
// snippet of at most limit characters that ends at a word. Runs are kept as they stand
// until the snippet is asked for or their room is full: copying them costs far less than
// collapsing them, and many snippets are never asked for.
class Snippet {
public:
    explicit Snippet(int limit)
        : limit_(limit), text_(size_t(limit) + 8), room_(4 * qsizetype(limit)),
          kept_(size_t(room_)) {}
    void add(QStringView text) { add(text.utf16(), text.utf16() + text.size()); }
    void add(const char16_t *begin, const char16_t *end) {
        const qsizetype size = end - begin;
        if (size > room_ - keptLength_) {
            if (!full_)
                addBeyondRoom(begin, end);
            return;
        }
        std::memcpy(kept_.data() + keptLength_, begin, size_t(size) * sizeof(char16_t));
        keptLength_ += size;
    }
    // The same, where the characters up to readable may be read: a short run is then
    // copied as eight characters at once rather than by a call, as runs of prose mostly
    // are a few characters.
    void add(const char16_t *begin, const char16_t *end, const char16_t *readable) {
        if (end - begin <= 8 && readable - begin >= 8 && room_ - keptLength_ >= 8) {
            std::memcpy(kept_.data() + keptLength_, begin, 8 * sizeof(char16_t));
            keptLength_ += end - begin;
        } else {
            add(begin, end);
        }
    }
    // One character, as the space at the edge of a block: kept without a call.
    void add(char16_t c) {
        if (keptLength_ < room_)
            kept_[size_t(keptLength_++)] = c;
        else if (!full_)
            addBeyondRoom(&c, &c + 1);
    }
    // The runs kept as they stand, when a snippet of them alone is this one (nothing has
    // been collapsed into it yet); null otherwise.
    QStringView kept() const {
        return length_ == 0 && !full_ ? QStringView(kept_.data(), keptLength_) : QStringView();
    }
    QString text();
    // Empty again, for the next text.
    void clear() {
        full_ = false;
        length_ = 0;
        keptLength_ = 0;
        room_ = 4 * qsizetype(limit_);
    }

private:
    void addBeyondRoom(const char16_t *begin, const char16_t *end);
    void collapseKept();
    void addWords(const char16_t *begin, const char16_t *end);
    int limit_;
    bool full_ = false;
    int length_ = 0;
    std::vector<char16_t> text_; // room for the limit and one space, or eight characters
    qsizetype room_;             // for runs kept as they stand; none once full
    qsizetype keptLength_ = 0;
    std::vector<char16_t> kept_;
};

namespace pagetext {

using ::findEither;

// Where the text of the body starts: after "<body>", or at the start without one.
const char16_t *bodyStart(const char16_t *begin, const char16_t *end);

// The character of the entity at '&' (itself when it is none that is known), and where
// the text goes on after it.
char16_t entityAt(const char16_t *ampersand, const char16_t *end, const char16_t **after);

// The first c of [from, end), or end; sixteen characters at a time where the processor
// allows, for searches that mostly go further than eight, as through the head of a page
// or the attributes of a span.
Q_ALWAYS_INLINE const char16_t *findFar(const char16_t *from, const char16_t *end, char16_t c) {
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; end - from >= 16; from += 16) {
        const __m128i low =
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(from)), wanted);
        const __m128i high =
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(from + 8)), wanted);
        // One bit per character: each comparison gives 0 or -1, which packs to a byte.
        const int found = _mm_movemask_epi8(_mm_packs_epi16(low, high));
        if (found != 0)
            return from + qCountTrailingZeroBits(uint(found));
    }
#endif
    return findEither(from, end, c, c);
}

// Four characters as fourCharsAt reads them on a processor that stores the low byte first.
inline constexpr quint64 fourOf(const char16_t (&text)[5]) {
    return quint64(text[0]) | quint64(text[1]) << 16 | quint64(text[2]) << 32 |
           quint64(text[3]) << 48;
}

// What a tag does to the text around it.
enum class Tag { Inline, Heading, Pre, Other, Skipped };

// A name of up to eight ASCII characters, one byte each; the packed form of names to
// switch on.
inline constexpr quint64 packed(const char *name) {
    quint64 key = 0;
    for (int i = 0; name[i]; ++i)
        key |= quint64(uchar(name[i])) << (8 * i);
    return key;
}

// Inline elements sit inside a line of text: their edges do not end a word.
inline Tag classify(quint64 key) {
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
    case packed("style"):
        return Tag::Skipped;
    }
    return Tag::Other;
}

struct TagRead {
    Tag tag;
    bool closing;
    const char16_t *after; // where the text goes on; null when the tag is never closed
};
// Reads the tag (or comment) at '<'. A comment, script or style is skipped whole.
TagRead readTag(const char16_t *open, const char16_t *end);

} // namespace pagetext

template <typename Sink>
void readPage(QStringView html, Sink &sink, bool afterBody) {
    using namespace pagetext;
    const char16_t *const end = html.utf16() + html.size();
    const char16_t *at = afterBody ? html.utf16() : bodyStart(html.utf16(), end);
    int headings = 0, code = 0;
    PagePart part = PagePart::Prose;
    while (at < end) {
        // The run of text up to the next tag, entities decoded; none between two tags.
        while (at != end && *at != u'<') {
            at = sink.text(at, end, part);
            if (at != end && *at == u'&')
                sink.character(entityAt(at, end, &at), part);
        }
        if (at == end)
            break;
        // Most tags are spans of coloured code, told by four characters at once (on a
        // processor of the other byte order they go the longer way below); a closing one
        // ends where it is known to.
        if (end - at >= 7) {
            const quint64 four = fourCharsAt(at);
            if (four == fourOf(u"</sp") && at[4] == u'a' && at[5] == u'n' && at[6] == u'>') {
                at += 7;
                continue;
            }
            if (four == fourOf(u"<spa") && at[4] == u'n' && (at[5] == u' ' || at[5] == u'>')) {
                at = findFar(at + 5, end, u'>');
                if (at == end)
                    break;
                ++at;
                continue;
            }
        }
        // A name of a few lower-case letters and digits that ends in a space or '>', as
        // generated pages write all of theirs, is told here; readTag tells the others.
        const bool closing = end - at > 1 && at[1] == u'/';
        const char16_t *const name = at + (closing ? 2 : 1);
        const char16_t *nameEnd = name;
        quint64 key = 0;
        for (; nameEnd != end && nameEnd - name < 7 &&
               ((*nameEnd >= u'a' && *nameEnd <= u'z') || (*nameEnd >= u'0' && *nameEnd <= u'9'));
             ++nameEnd)
            key |= quint64(*nameEnd) << (8 * (nameEnd - name));
        Tag tag = Tag::Other;
        TagRead read;
        if (nameEnd != name && nameEnd - name <= 6 && nameEnd != end &&
            (*nameEnd == u' ' || *nameEnd == u'>') && (tag = classify(key)) != Tag::Skipped) {
            const char16_t *const close = findEither(nameEnd, end, u'>', u'>');
            read = TagRead{tag, closing, close == end ? nullptr : close + 1};
        } else {
            read = readTag(at, end);
        }
        if (!read.after)
            break;
        at = read.after;
        if (read.tag == Tag::Inline)
            continue;
        // Block edges separate words that the markup writes without a space.
        sink.separate(part);
        const int step = read.closing ? -1 : 1;
        if (read.tag == Tag::Heading)
            headings = std::max(0, headings + step);
        else if (read.tag == Tag::Pre)
            code = std::max(0, code + step);
        part = headings > 0 ? PagePart::Heading : code > 0 ? PagePart::Code : PagePart::Prose;
        sink.separate(part);
    }
}
