#include "site/searchindex.h"

#include "common/texthash.h"

#include <algorithm>
#include <cstring>

namespace {

// The last digit of a number, then the digits before it.
const char finalDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
const char leadingDigits[] = "WXYZabcdefghijklmnopqrstuvwxyz-_";

bool isUpper(QChar c) {
    return c.unicode() < 128 ? c.unicode() >= 'A' && c.unicode() <= 'Z' : c.isUpper();
}

bool isLower(QChar c) {
    return c.unicode() < 128 ? c.unicode() >= 'a' && c.unicode() <= 'z' : c.isLower();
}

// Terms longer than this are names of generated tables and the like; nobody types them.
constexpr qsizetype longestTerm = 48;

// Calls take(word) for every word of text and every part of a word that has parts, in
// their written case; words too short or too long to be terms are left out.
template <typename Take>
void splitTerms(QStringView text, Take take) {
    const auto offer = [&](QStringView word) {
        if (word.size() >= 2 && word.size() <= longestTerm)
            take(word);
    };
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        while (i < size && !isWordChar(text[i].unicode()))
            ++i;
        qsizetype end = i;
        while (end < size && isWordChar(text[end].unicode()))
            ++end;
        // Underscores at the ends belong to no part: __init__ is init.
        qsizetype from = i, to = end;
        while (from < to && text[from] == u'_')
            ++from;
        while (to > from && text[to - 1] == u'_')
            --to;
        const QStringView word = text.mid(from, to - from);
        i = end;
        if (word.isEmpty())
            continue;
        offer(word);
        // Parts: split at underscores and where a lower-case letter meets a capital.
        qsizetype partStart = 0;
        bool split = false;
        for (qsizetype k = 1; k <= word.size(); ++k) {
            const bool atEnd = k == word.size();
            const bool boundary =
                atEnd || word[k] == u'_' || (isUpper(word[k]) && isLower(word[k - 1]));
            if (!boundary)
                continue;
            if (!atEnd)
                split = true;
            if (split && k > partStart)
                offer(word.mid(partStart, k - partStart));
            partStart = atEnd || word[k] != u'_' ? k : k + 1;
        }
    }
}

// FNV-1a over the code units of a term.
constexpr size_t fnvStart = 1469598103934665603ull;
size_t fnvStep(size_t hash, char16_t u) {
    return (hash ^ u) * 1099511628211ull;
}

// Bits of a term's place on the page being added: title, heading and a body count.
constexpr quint8 inTitle = 1, inHeading = 2, bodyStep = 4, bodyMask = 12;

quint8 weightOf(quint8 place) {
    return quint8((place & inTitle ? 8 : 0) + (place & inHeading ? 3 : 0) + (place >> 2));
}

// Writes n at out, which has room for eight bytes; returns where its digits end.
char *writeNumber(char *out, quint32 n) {
    char digits[16] = {};
    int count = 8;
    digits[--count] = finalDigits[n % 32];
    for (n /= 32; n > 0; n /= 32)
        digits[--count] = leadingDigits[n % 32];
    std::memcpy(out, digits + count, 8);
    return out + (8 - count);
}

// Whether two words of the same length are the same, four characters at a time.
inline bool sameWord(const char16_t *a, const char16_t *b, qsizetype size) {
    if (size < 4)
        return fewCharsAt(a, size) == fewCharsAt(b, size);
    for (qsizetype k = 0; size - k > 4; k += 4)
        if (fourCharsAt(a + k) != fourCharsAt(b + k))
            return false;
    return fourCharsAt(a + size - 4) == fourCharsAt(b + size - 4);
}

} // namespace

void encodeNumbers(const std::vector<quint32> &numbers, std::string &out) {
    size_t used = out.size();
    out.resize(used + numbers.size() * 8 + 8);
    for (const quint32 n : numbers)
        used = size_t(writeNumber(out.data() + used, n) - out.data());
    out.resize(used);
}

bool decodeNumbers(QStringView text, std::vector<quint32> &numbers) {
    quint64 value = 0;
    bool inside = false;
    for (const QChar c : text) {
        const char ch = c.unicode() < 128 ? char(c.unicode()) : '\0';
        const char *lead = ch ? std::strchr(leadingDigits, ch) : nullptr;
        const char *last = ch ? std::strchr(finalDigits, ch) : nullptr;
        if (lead) {
            value = value * 32 + quint64(lead - leadingDigits);
            inside = true;
        } else if (last) {
            value = value * 32 + quint64(last - finalDigits);
            if (value > 0xffffffffu)
                return false;
            numbers.push_back(quint32(value));
            value = 0;
            inside = false;
        } else {
            return false;
        }
    }
    return !inside;
}

void SearchIndex::beginDocument(quint32 document) {
    document_ = document;
}

quint32 SearchIndex::intern(const char16_t *chars, qsizetype size, size_t hash) {
    if (termHashes_.size() * 2 >= slots_.size()) {
        // Grown to keep the table at most half full.
        slots_.assign(std::max<size_t>(1024, slots_.size() * 2), 0);
        const size_t mask = slots_.size() - 1;
        for (quint32 id = 0; id < termHashes_.size(); ++id) {
            size_t slot = termHashes_[id] & mask;
            while (slots_[slot] != 0)
                slot = (slot + 1) & mask;
            slots_[slot] = id + 1;
        }
    }
    const size_t mask = slots_.size() - 1;
    const quint32 shortHash = quint32(hash);
    for (size_t slot = shortHash & mask;; slot = (slot + 1) & mask) {
        const quint32 entry = slots_[slot];
        if (entry == 0) {
            const quint32 id = quint32(termHashes_.size());
            slots_[slot] = id + 1;
            termHashes_.push_back(shortHash);
            termChars_.append(chars, size_t(size));
            termStart_.push_back(quint32(termChars_.size()));
            terms_.emplace_back();
            places_.push_back(0);
            return id;
        }
        const quint32 id = entry - 1;
        if (termHashes_[id] != shortHash || termStart_[id + 1] - termStart_[id] != size)
            continue;
        // Terms are short: compared here rather than by a call.
        const char16_t *stored = termChars_.data() + termStart_[id];
        qsizetype k = 0;
        while (k < size && stored[k] == chars[k])
            ++k;
        if (k == size)
            return id;
    }
}

void SearchIndex::addText(QStringView text, Field field) {
    const char16_t *at = text.utf16();
    const char16_t *const end = at + text.size();
    while ((at = addRun(at, end, field)) != end)
        addCharacter(*at++, field);
    endWord();
}

void SearchIndex::appendToWord(const char16_t *from, const char16_t *to) {
    if (word_.size() < size_t(wordLength_ + (to - from)))
        word_.resize(std::max(word_.size() * 2, size_t(wordLength_ + (to - from))));
    // A word kept where it stood in its run is copied once it goes on.
    if (wordAt_) {
        std::copy(wordAt_, wordAt_ + wordLength_, word_.data());
        wordAt_ = nullptr;
    }
    std::copy(from, to, word_.data() + wordLength_);
    wordLength_ += to - from;
}

void SearchIndex::addWord(const char16_t *chars, qsizetype size, Field field) {
    const quint32 hash = textHash(QStringView(chars, size));
    const size_t mask = wordMask_;
    // Slots hold the hash above the id + 1, so that a word of another hash is passed by
    // without looking at it.
    quint32 id;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const quint64 entry = wordSlots_[slot];
        if (entry == 0) {
            id = newWord(chars, size, hash);
            break;
        }
        if (quint32(entry >> 32) != hash)
            continue;
        const Word &word = words_[quint32(entry) - 1];
        if (word.size == size && sameWord(wordChars_.data() + word.start, chars, size)) {
            id = quint32(entry) - 1;
            break;
        }
    }
    const quint32 *terms = wordTerms_.data() + words_[id].terms;
    const quint32 *const termsEnd = wordTerms_.data() + words_[id + 1].terms;
    // Most words are in the body, whose count has a loop of its own; a title or a
    // heading sets a bit.
    if (field == Body) {
        for (; terms != termsEnd; ++terms) {
            quint8 &place = places_[*terms];
            if (place == 0)
                touched_.push_back(*terms);
            if ((place & bodyMask) != bodyMask)
                place += bodyStep;
        }
        return;
    }
    const quint8 bit = field == Title ? inTitle : inHeading;
    for (; terms != termsEnd; ++terms) {
        quint8 &place = places_[*terms];
        if (place == 0)
            touched_.push_back(*terms);
        place |= bit;
    }
}

quint32 SearchIndex::newWord(const char16_t *chars, qsizetype size, quint32 hash) {
    const quint32 id = quint32(words_.size() - 1);
    Word &word = words_.back();
    word.hash = hash;
    word.start = quint32(wordChars_.size());
    word.size = quint32(size);
    wordChars_.append(chars, size_t(size));
    splitWord(QStringView(chars, size));
    words_.push_back(Word{0, 0, 0, quint32(wordTerms_.size())});
    // The table is kept at most half full.
    quint32 first = id;
    if (size_t(id + 1) * 2 > wordSlots_.size()) {
        wordSlots_.assign(wordSlots_.size() * 2, 0);
        wordMask_ = wordSlots_.size() - 1;
        first = 0;
    }
    const size_t mask = wordSlots_.size() - 1;
    for (quint32 placed = first; placed <= id; ++placed) {
        size_t slot = words_[placed].hash & mask;
        while (wordSlots_[slot] != 0)
            slot = (slot + 1) & mask;
        wordSlots_[slot] = quint64(words_[placed].hash) << 32 | (placed + 1);
    }
    return id;
}

void SearchIndex::splitWord(QStringView word) {
    const auto take = [&](quint32 term) { wordTerms_.push_back(term); };
    // Words with other than ASCII are lower-cased as Qt does, which may change their length.
    const auto takeWord = [&](QStringView whole) {
        term_ = whole.toString().toLower();
        const char16_t *chars = reinterpret_cast<const char16_t *>(term_.constData());
        size_t hash = fnvStart;
        for (qsizetype k = 0; k < term_.size(); ++k)
            hash = fnvStep(hash, chars[k]);
        take(intern(chars, term_.size(), hash));
    };
    const auto offer = [&](const char16_t *chars, qsizetype size, size_t hash) {
        if (size >= 2 && size <= longestTerm)
            take(intern(chars, size, hash));
    };
    // Underscores at the ends belong to no part: __init__ is init.
    const char16_t *const data = word.utf16();
    qsizetype from = 0, to = word.size();
    while (from < to && data[from] == u'_')
        ++from;
    while (to > from && data[to - 1] == u'_')
        --to;
    if (from == to)
        return;
    const qsizetype length = to - from;
    const char16_t *const chars = data + from;
    if (std::any_of(chars, chars + length, [](char16_t c) { return c >= 128; })) {
        splitTerms(word.mid(from, length), takeWord);
        return;
    }
    // Words in ASCII, most of them, are split as splitTerms does, lower-cased and hashed
    // whole and by parts in one pass.
    if (lowered_.size() < size_t(length))
        lowered_.resize(size_t(length));
    char16_t *const lower = lowered_.data();
    size_t whole = fnvStart, part = fnvStart;
    qsizetype partStart = 0;
    bool split = false;
    for (qsizetype k = 0; k <= length; ++k) {
        const bool atEnd = k == length;
        const char16_t c = atEnd ? 0 : chars[k];
        if (k > 0 && (atEnd || c == u'_' ||
                      (c >= 'A' && c <= 'Z' && chars[k - 1] >= 'a' && chars[k - 1] <= 'z'))) {
            if (!atEnd)
                split = true;
            if (split && k > partStart)
                offer(lower + partStart, k - partStart, part);
            partStart = atEnd || c != u'_' ? k : k + 1;
            part = fnvStart;
        }
        if (atEnd)
            break;
        const char16_t l = c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
        lower[k] = l;
        whole = fnvStep(whole, l);
        if (k >= partStart)
            part = fnvStep(part, l);
    }
    offer(lower, length, whole);
}

void SearchIndex::endDocument() {
    endWord();
    for (const quint32 id : touched_) {
        TermPostings &term = terms_[id];
        ++term.documents;
        if (term.size == term.capacity)
            grow(term);
        posting(term.start)[term.size++] = Posting{document_, weightOf(places_[id])};
        places_[id] = 0;
        // Cut long lists as they grow, so that common words cost no more memory than
        // what will be written of them.
        if (term.size >= quint32(postingCap) * 4)
            term.size = quint32(trim(posting(term.start), term.size));
    }
    touched_.clear();
}

void SearchIndex::grow(TermPostings &term) {
    // Most terms are on a few pages: room for four at first saves moving by one and two.
    const quint32 capacity = term.capacity == 0 ? 4 : term.capacity * 2;
    const quint32 offsetMask = segmentSize - 1;
    // A term at the end of the last segment grows in place while the segment has room.
    if (term.capacity > 0 && term.start + term.capacity == postingsUsed_ &&
        (term.start & offsetMask) + capacity <= segmentSize) {
        postingsUsed_ = term.start + capacity;
        term.capacity = capacity;
        return;
    }
    // Else it moves to the end, to a new segment when the last one lacks the room: a
    // term's room never spans two segments.
    quint32 start = postingsUsed_;
    if ((start >> segmentBits) >= segments_.size() ||
        (start & offsetMask) + capacity > segmentSize) {
        start = quint32(segments_.size()) << segmentBits;
        // Not filled before use.
        segments_.emplace_back(new Posting[segmentSize]);
    }
    postingsUsed_ = start + capacity;
    if (term.size > 0)
        std::copy_n(posting(term.start), term.size, posting(start));
    term.start = start;
    term.capacity = capacity;
}

// Keeps the postingCap heaviest postings, the earlier page first among equals, in
// page order. Postings come in page order and weights are small: the lightest weight
// that is kept is found by counting, and of that weight the earliest pages are kept.
size_t SearchIndex::trim(Posting *postings, size_t size) {
    if (size <= size_t(postingCap))
        return size;
    size_t count[256] = {};
    for (size_t i = 0; i < size; ++i)
        ++count[postings[i].weight];
    size_t heavier = 0; // kept postings heavier than lightest
    int lightest = 255;
    while (heavier + count[lightest] < size_t(postingCap))
        heavier += count[lightest--];
    size_t ofLightest = size_t(postingCap) - heavier;
    size_t kept = 0;
    for (size_t i = 0; i < size; ++i) {
        const Posting p = postings[i];
        if (p.weight > lightest) {
            postings[kept++] = p;
        } else if (p.weight == lightest && ofLightest > 0) {
            postings[kept++] = p;
            --ofLightest;
        }
    }
    return kept;
}

IndexShards SearchIndex::shards(const std::vector<bool> &alive, int shardBytes) const {
    std::vector<quint32> renumbered(alive.size());
    quint32 next = 0;
    for (size_t i = 0; i < alive.size(); ++i)
        renumbered[i] = alive[i] ? next++ : 0;

    // Terms in the order of their code units, as QString compares them; the first twelve
    // decide most comparisons as three numbers (terms hold no null character, so a
    // shorter term's key is the smaller). Generated names share long beginnings and come
    // in an order that drives a quicksort to its slow fallback: they are merged instead,
    // which gives the same order, as no two terms are the same.
    struct Sorted {
        quint64 start[3];
        quint32 id;
    };
    std::vector<Sorted> order(termHashes_.size());
    for (quint32 id = 0; id < order.size(); ++id) {
        const QStringView t = term(id);
        quint64 start[3] = {0, 0, 0};
        for (qsizetype k = 0; k < 12; ++k)
            start[k / 4] = start[k / 4] << 16 | (k < t.size() ? t[k].unicode() : 0);
        order[id] = Sorted{{start[0], start[1], start[2]}, id};
    }
    std::stable_sort(order.begin(), order.end(), [&](const Sorted &a, const Sorted &b) {
        if (a.start[0] != b.start[0])
            return a.start[0] < b.start[0];
        if (a.start[1] != b.start[1])
            return a.start[1] < b.start[1];
        if (a.start[2] != b.start[2])
            return a.start[2] < b.start[2];
        const QStringView x = term(a.id), y = term(b.id);
        const qsizetype common = std::min(x.size(), y.size());
        for (qsizetype k = 12; k < common; ++k)
            if (x[k] != y[k])
                return x[k] < y[k];
        return x.size() < y.size();
    });
    IndexShards result;
    std::vector<quint32> ids;
    std::vector<size_t> ends; // where each term's postings end in result.postings
    const bool allAlive = std::find(alive.begin(), alive.end(), false) == alive.end();
    std::vector<Posting> kept;
    size_t used = 0; // of result.postings
    for (const Sorted &sorted : order) {
        const TermPostings &term = terms_[sorted.id];
        const Posting *begin = term.size > 0 ? posting(term.start) : nullptr;
        const Posting *end = begin + term.size;
        // Pages written again, and lists longer than the cap, leave fewer postings.
        if (!allAlive || term.size > quint32(postingCap)) {
            kept.clear();
            for (const Posting *p = begin; p != end; ++p)
                if (p->document < alive.size() && alive[p->document])
                    kept.push_back(*p);
            kept.resize(trim(kept.data(), kept.size()));
            begin = kept.data();
            end = begin + kept.size();
        }
        if (begin == end)
            continue;
        const size_t count = size_t(end - begin);
        // Two numbers of at most seven digits per posting, each written as eight bytes.
        std::string &out = result.postings;
        if (out.size() < used + count * 16 + 8)
            out.resize(std::max(out.size() * 2, used + count * 16 + 8));
        quint32 previous = 0;
        for (const Posting *p = begin; p != end; ++p) {
            const quint32 document = renumbered[p->document];
            used = size_t(writeNumber(out.data() + used, document - previous) - out.data());
            used = size_t(writeNumber(out.data() + used, p->weight) - out.data());
            previous = document;
        }
        ids.push_back(sorted.id);
        ends.push_back(used);
    }
    result.postings.resize(used);
    std::vector<ShardTerm> &all = result.terms;
    all.reserve(ids.size());
    // What each run of terms weighs in a shard, from the sums of the terms before it.
    std::vector<qsizetype> before(ids.size() + 1, 0);
    for (size_t i = 0; i < ids.size(); ++i) {
        const size_t start = i == 0 ? 0 : ends[i - 1];
        all.push_back(
            ShardTerm{term(ids[i]), terms_[ids[i]].documents,
                      QLatin1String(result.postings.data() + start, qsizetype(ends[i] - start))});
        before[i + 1] = before[i] + all[i].term.size() + all[i].postings.size() + 12;
    }

    // Split by prefix: terms sorted, so each prefix's terms are one run of all, and a
    // prefix comes before the prefixes it is split into.
    const auto place = [&](size_t from, size_t to, qsizetype length, const auto &self) -> void {
        QString prefix = all[from].term.left(length).toString();
        if (length >= longestPrefix || before[to] - before[from] <= shardBytes) {
            result.shards.push_back(IndexShards::Shard{std::move(prefix), from, to});
            return;
        }
        size_t i = from;
        while (i < to && all[i].term.size() <= length)
            ++i;
        result.shards.push_back(IndexShards::Shard{std::move(prefix), from, i});
        while (i < to) {
            const QStringView child = all[i].term.left(length + 1);
            size_t end = i + 1;
            while (end < to && all[end].term.left(length + 1) == child)
                ++end;
            self(i, end, length + 1, self);
            i = end;
        }
    };
    size_t i = 0;
    while (i < all.size()) {
        const QChar first = all[i].term.at(0);
        size_t end = i + 1;
        while (end < all.size() && all[end].term.at(0) == first)
            ++end;
        place(i, end, 1, place);
        i = end;
    }
    return result;
}
