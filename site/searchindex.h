#pragma once

#include <QString>
#include <QStringView>
#include <QtAlgorithms>

#include <memory>
#include <string>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Numbers written as text that a script string holds without escapes: base 32, the
// last digit of each number from one alphabet and the others from a second one, so
// that numbers need no separator. Appended to out.
void encodeNumbers(const std::vector<quint32> &numbers, std::string &out);
// The numbers back; false when the text holds a character of neither alphabet or ends
// inside a number.
bool decodeNumbers(QStringView text, std::vector<quint32> &numbers);

// One term's postings in a shard: its document frequency (before the list was cut)
// and pairs of (distance to the previous document, weight), encoded.
struct ShardTerm {
    QStringView term;
    quint32 documents = 0;
    QLatin1String postings;
};

// The index as it is written: every term that is on a page still alive, in order, and
// the shards that hold them by prefix, in the order of their prefixes. Views into the
// index and into postings, valid while both last.
struct IndexShards {
    std::string postings;
    std::vector<ShardTerm> terms;
    struct Shard {
        QString prefix;
        size_t from, to; // its terms: terms[from, to); none when split and kept none
    };
    std::vector<Shard> shards;
};

// How the index reads a character: as part of a word (letters, digits and '_', with
// letters and digits beyond ASCII as Qt tells them), as the start of markup ('<' and
// '&', where a run of text ends), or as anything else, which ends a word.
enum class CharClass : quint8 { Other, Word, Markup };
constexpr struct CharClasses {
    CharClass of[128] = {};
    constexpr CharClasses() {
        for (int c = 0; c < 128; ++c)
            of[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == '_'
                        ? CharClass::Word
                    : c == '<' || c == '&' ? CharClass::Markup
                                           : CharClass::Other;
    }
    CharClass operator()(char16_t c) const {
        return c < 128 ? of[c] : QChar(c).isLetterOrNumber() ? CharClass::Word : CharClass::Other;
    }
} charClass;

inline bool isWordChar(char16_t c) {
    return charClass(c) == CharClass::Word;
}

// How many of the eight characters from at are ASCII letters, digits or '_' (which is
// what runs of text mostly are), counted up to the first that is not; eight characters
// must be there to read. Without SSE2, none.
inline int asciiWordChars(const char16_t *at) {
#ifdef __SSE2__
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
    const __m128i zero = _mm_setzero_si128();
    // A value is within [low, low + span] when its distance from low, saturated at its
    // span, is zero.
    const auto within = [&](__m128i x, short low, short span) {
        return _mm_cmpeq_epi16(
            _mm_subs_epu16(_mm_sub_epi16(x, _mm_set1_epi16(low)), _mm_set1_epi16(span)), zero);
    };
    const __m128i word = _mm_or_si128(
        _mm_or_si128(within(_mm_or_si128(c, _mm_set1_epi16(0x20)), 'a', 25), within(c, '0', 9)),
        _mm_cmpeq_epi16(c, _mm_set1_epi16('_')));
    const int other = ~_mm_movemask_epi8(word) & 0xffff;
    return other == 0 ? 8 : int(qCountTrailingZeroBits(uint(other))) / 2;
#else
    (void)at;
    return 0;
#endif
}

// Builds the postings of a search index page by page and writes them as shards by term
// prefix. Only postings are held: a page's text is gone once it has been added.
// Terms are lower-cased runs of letters, digits and '_'. A name joined by "_" or written
// in camel case gives itself and each of its parts, so that uart_open is found by
// "uart", "open" and "uart_open"; underscores at its ends belong to no part (__init__ is
// init). Terms of one character, or of more than 48, are left out.
class SearchIndex {
public:
    // Where a text stands on its page. A page's weight for a term is 8 when the term is
    // in its title, 3 more when in a heading, and one for each time in the body, up to 3.
    enum Field { Title, Heading, Body };
    // Postings kept per term: the heaviest, earliest pages. A word on every page finds
    // nothing useful, and its list would cost every query that loads its shard.
    static constexpr int postingCap = 2000;
    // Shards are split by prefixes of at most this many characters: generated names
    // share long prefixes, and past this a shard is one name's family.
    static constexpr int longestPrefix = 12;

    // Adds the terms of one page, one piece of text at a time. A text's words end at its
    // ends; a run's last word goes on in the next run until endWord().
    void beginDocument(quint32 document);
    void addText(QStringView text, Field field);
    // Reads the words of the text from at up to the first '<' or '&' (or end) and
    // returns where it stopped; the last word goes on in the next run until endWord().
    Q_ALWAYS_INLINE const char16_t *addRun(const char16_t *at, const char16_t *end, Field field) {
        CharClass next = CharClass::Other;
        if (wordLength_ > 0) {
            const char16_t *const from = at;
            while (at != end && (next = charClass(*at)) == CharClass::Word)
                ++at;
            if (at != from)
                appendToWord(from, at);
            if (at == end || next == CharClass::Markup)
                return at;
            endWord();
        }
        for (;;) {
            // Spaces and punctuation, mostly one or two, up to a word or markup.
            while (at != end && (next = charClass(*at)) == CharClass::Other)
                ++at;
            if (at == end || next == CharClass::Markup)
                return at;
            const char16_t *const word = at++;
            for (;;) {
                if (end - at >= 8) {
                    const int ascii = asciiWordChars(at);
                    at += ascii;
                    if (ascii == 8)
                        continue;
                }
                if (at == end || (next = charClass(*at)) != CharClass::Word)
                    break;
                ++at;
            }
            // A word that reaches the end of its run may go on after an inline tag: it
            // is kept where it stands until it is known to end.
            if (at == end || next == CharClass::Markup) {
                wordAt_ = word;
                wordLength_ = at - word;
                wordField_ = field;
                return at;
            }
            addWord(word, at - word, field);
        }
    }
    // One character that the text stands for (an entity).
    void addCharacter(char16_t c, Field field) {
        if (isWordChar(c)) {
            if (wordLength_ == 0)
                wordField_ = field;
            appendToWord(&c, &c + 1);
        } else {
            endWord();
        }
    }
    void endWord() {
        if (wordLength_ > 0) {
            addWord(wordAt_ ? wordAt_ : word_.data(), wordLength_, wordField_);
            wordLength_ = 0;
            wordAt_ = nullptr;
        }
    }
    void endDocument();

    // The shards of the documents that are alive (document ids are renumbered to their
    // position in alive). A prefix whose terms exceed shardBytes is split by the next
    // character; its own short terms stay with it.
    IndexShards shards(const std::vector<bool> &alive, int shardBytes) const;

private:
    struct Posting {
        quint32 document;
        quint8 weight;
    };
    // A term's postings lie in one of the segments from start on (numbered across them),
    // with room for capacity of them; a term that outgrows its room moves to the end
    // with twice as much. Segments for all save an allocation for each of the many terms
    // on a page or two, and never move as more are added.
    struct TermPostings {
        quint32 documents = 0; // pages the term is on, before its list was cut
        quint32 start = 0, size = 0, capacity = 0;
    };
    // Cuts postings[0, size) to the cap; returns how many are left.
    static size_t trim(Posting *postings, size_t size);
    void grow(TermPostings &term);

    // Looks a term up, adding it when new. Terms are kept end to end in one array,
    // found by an open-addressed table of ids: a string and a hash node per term cost
    // more than all the rest of indexing a page.
    quint32 intern(const char16_t *term, qsizetype size, size_t hash);
    QStringView term(quint32 id) const {
        return QStringView(termChars_.data() + termStart_[id], termStart_[id + 1] - termStart_[id]);
    }
    std::u16string termChars_;
    std::vector<quint32> termStart_{0}; // where each term starts, and where the last ends
    std::vector<quint32> termHashes_;
    std::vector<quint32> slots_; // term id + 1, 0 for none
    std::vector<TermPostings> terms_;
    // Postings per segment: more than a term holds before it is cut to the cap.
    static constexpr int segmentBits = 16;
    static constexpr quint32 segmentSize = 1u << segmentBits;
    static_assert(segmentSize >= 2 * 4 * postingCap, "a term's room fits in a segment");
    Posting *posting(quint32 index) const {
        return segments_[index >> segmentBits].get() + (index & (segmentSize - 1));
    }
    std::vector<std::unique_ptr<Posting[]>> segments_;
    quint32 postingsUsed_ = 0; // where the room of the terms ends
    // Where each term stood on the page being added (0: not on it), and the terms it holds.
    std::vector<quint8> places_;
    std::vector<quint32> touched_;
    QString term_;                  // the term being looked up
    std::vector<char16_t> lowered_; // the word being split, lower-cased

    // Counts the terms of one word (a run of letters, digits and '_') as it stands.
    void addWord(const char16_t *chars, qsizetype size, Field field);
    void appendToWord(const char16_t *from, const char16_t *to);
    // The word that a run left open, as it stands: at wordAt_ in the text while it is in
    // one piece there, else in word_.
    const char16_t *wordAt_ = nullptr;
    std::vector<char16_t> word_;
    qsizetype wordLength_ = 0;
    Field wordField_ = Body;

    // The words of the pages as they are written, each with the terms it gives: words
    // recur far more often than they are new, so each is split into terms once and then
    // found by its spelling, in the same open-addressed form as the terms.
    struct Word {
        quint32 hash;
        quint32 start; // in wordChars_
        quint32 size;
        quint32 terms; // in wordTerms_; its terms end where the next word's start
    };
    // Adds a word that is not in the table yet; returns its id.
    quint32 newWord(const char16_t *chars, qsizetype size, quint32 hash);
    // Appends the terms of a new word to wordTerms_.
    void splitWord(QStringView word);
    // The words, and after them one of no characters where the last one's terms end.
    std::vector<Word> words_{Word{0, 0, 0, 0}};
    std::u16string wordChars_;
    std::vector<quint64> wordSlots_ = std::vector<quint64>(1024); // hash and id + 1; 0: none
    size_t wordMask_ = 1023;                                      // the size of wordSlots_ less one
    std::vector<quint32> wordTerms_;
    quint32 document_ = 0;
};
