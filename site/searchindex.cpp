#include "site/searchindex.h"

#include <algorithm>
#include <cstring>

namespace {

// The last digit of a number, then the digits before it.
const char finalDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
const char leadingDigits[] = "WXYZabcdefghijklmnopqrstuvwxyz-_";

// The ASCII characters of words: letters, digits and '_'.
constexpr struct WordChars {
    bool of[128] = {};
    constexpr WordChars() {
        for (int c = 0; c < 128; ++c)
            of[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '_';
    }
} wordChars;

inline bool isWordChar(QChar c) {
    const char16_t u = c.unicode();
    return u < 128 ? wordChars.of[u] : c.isLetterOrNumber();
}

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
        while (i < size && !isWordChar(text[i]))
            ++i;
        qsizetype end = i;
        while (end < size && isWordChar(text[end]))
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

// Lower-cases word into buffer, reusing its storage when it is not shared.
void lowerInto(QStringView word, QString &buffer) {
    buffer.resize(word.size());
    QChar *out = buffer.data();
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t u = word[i].unicode();
        if (u >= 128) {
            buffer = word.toString().toLower();
            return;
        }
        out[i] = QChar(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
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

} // namespace

void forEachTerm(QStringView text, const std::function<void(const QString &)> &take) {
    QString term;
    splitTerms(text, [&](QStringView word) {
        lowerInto(word, term);
        take(term);
    });
}

QString encodeNumbers(const std::vector<quint32> &numbers) {
    // Written in place, once its length is known.
    qsizetype length = 0;
    for (quint32 n : numbers)
        for (++length, n /= 32; n > 0; n /= 32)
            ++length;
    QString out(length, Qt::Uninitialized);
    char16_t *end = reinterpret_cast<char16_t *>(out.data());
    char digits[8];
    for (quint32 n : numbers) {
        int count = 0;
        digits[count++] = finalDigits[n % 32];
        for (n /= 32; n > 0; n /= 32)
            digits[count++] = leadingDigits[n % 32];
        while (count > 0)
            *end++ = char16_t(digits[--count]);
    }
    return out;
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
            termChars_.insert(termChars_.end(), chars, chars + size);
            termStart_.push_back(quint32(termChars_.size()));
            postings_.emplace_back();
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
    const auto count = [&](quint32 id) {
        quint8 &place = places_[id];
        if (place == 0)
            touched_.push_back(id);
        if (field == Title)
            place |= inTitle;
        else if (field == Heading)
            place |= inHeading;
        else if ((place & bodyMask) != bodyMask)
            place += bodyStep;
    };
    // Words with other than ASCII are lower-cased as Qt does, which may change their length.
    const auto takeWord = [&](QStringView word) {
        term_ = word.toString().toLower();
        const char16_t *chars = reinterpret_cast<const char16_t *>(term_.constData());
        size_t hash = fnvStart;
        for (qsizetype k = 0; k < term_.size(); ++k)
            hash = fnvStep(hash, chars[k]);
        count(intern(chars, term_.size(), hash));
    };
    const auto offer = [&](const char16_t *chars, qsizetype size, size_t hash) {
        if (size >= 2 && size <= longestTerm)
            count(intern(chars, size, hash));
    };
    // Words in ASCII, most of them, are split as splitTerms does, lower-cased and hashed
    // whole and by parts in one pass.
    const char16_t *const data = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        while (i < size && !isWordChar(QChar(data[i])))
            ++i;
        qsizetype end = i;
        bool ascii = true;
        while (end < size && isWordChar(QChar(data[end]))) {
            ascii = ascii && data[end] < 128;
            ++end;
        }
        qsizetype from = i, to = end;
        while (from < to && data[from] == u'_')
            ++from;
        while (to > from && data[to - 1] == u'_')
            --to;
        i = end;
        if (from == to)
            continue;
        if (!ascii) {
            splitTerms(text.mid(from, to - from), takeWord);
            continue;
        }
        const char16_t *const word = data + from;
        const qsizetype length = to - from;
        if (lowered_.size() < size_t(length))
            lowered_.resize(size_t(length));
        char16_t *const lower = lowered_.data();
        size_t whole = fnvStart, part = fnvStart;
        qsizetype partStart = 0;
        bool split = false;
        for (qsizetype k = 0; k <= length; ++k) {
            const bool atEnd = k == length;
            const char16_t c = atEnd ? 0 : word[k];
            if (k > 0 && (atEnd || c == u'_' ||
                          (c >= 'A' && c <= 'Z' && word[k - 1] >= 'a' && word[k - 1] <= 'z'))) {
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
}

void SearchIndex::endDocument() {
    for (const quint32 id : touched_) {
        TermPostings &term = postings_[id];
        ++term.documents;
        term.postings.push_back(Posting{document_, weightOf(places_[id])});
        places_[id] = 0;
        // Cut long lists as they grow, so that common words cost no more memory than
        // what will be written of them.
        if (term.postings.size() >= size_t(postingCap) * 4)
            trim(term.postings);
    }
    touched_.clear();
}

// Keeps the postingCap heaviest postings, the earlier page first among equals, in
// page order.
void SearchIndex::trim(std::vector<Posting> &postings) {
    if (postings.size() <= size_t(postingCap))
        return;
    const auto heavier = [](const Posting &a, const Posting &b) {
        return a.weight != b.weight ? a.weight > b.weight : a.document < b.document;
    };
    std::nth_element(postings.begin(), postings.begin() + postingCap, postings.end(), heavier);
    postings.resize(postingCap);
    std::sort(postings.begin(), postings.end(),
              [](const Posting &a, const Posting &b) { return a.document < b.document; });
}

QMap<QString, QList<ShardTerm>> SearchIndex::shards(const std::vector<bool> &alive,
                                                    int shardBytes) const {
    std::vector<quint32> renumbered(alive.size());
    quint32 next = 0;
    for (size_t i = 0; i < alive.size(); ++i)
        renumbered[i] = alive[i] ? next++ : 0;

    // Encoded terms in term order.
    std::vector<quint32> order(termHashes_.size());
    for (quint32 i = 0; i < order.size(); ++i)
        order[i] = i;
    // In the order of their code units, as QString compares them; the first four
    // decide most comparisons as one number (terms hold no null character, so a shorter
    // term's key is the smaller).
    std::vector<quint64> keys(order.size());
    for (quint32 id = 0; id < order.size(); ++id) {
        const QStringView t = term(id);
        for (qsizetype k = 0; k < 4; ++k)
            keys[id] = keys[id] << 16 | (k < t.size() ? t[k].unicode() : 0);
    }
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        if (keys[a] != keys[b])
            return keys[a] < keys[b];
        const QStringView x = term(a), y = term(b);
        const qsizetype common = std::min(x.size(), y.size());
        for (qsizetype k = 4; k < common; ++k)
            if (x[k] != y[k])
                return x[k] < y[k];
        return x.size() < y.size();
    });
    QList<ShardTerm> all;
    all.reserve(qsizetype(order.size()));
    std::vector<quint32> numbers;
    std::vector<Posting> postings;
    for (const quint32 id : order) {
        postings.clear();
        for (const Posting &p : postings_[id].postings)
            if (p.document < alive.size() && alive[p.document])
                postings.push_back(p);
        if (postings.empty())
            continue;
        trim(postings);
        numbers.clear();
        quint32 previous = 0;
        for (const Posting &p : postings) {
            const quint32 document = renumbered[p.document];
            numbers.push_back(document - previous);
            numbers.push_back(p.weight);
            previous = document;
        }
        all.append(ShardTerm{term(id).toString(), postings_[id].documents, encodeNumbers(numbers)});
    }

    // Split by prefix: terms sorted, so each prefix's terms are one run of all.
    QMap<QString, QList<ShardTerm>> result;
    const auto bytes = [](const QList<ShardTerm> &terms, qsizetype from, qsizetype to) {
        qsizetype total = 0;
        for (qsizetype i = from; i < to; ++i)
            total += terms[i].term.size() + terms[i].postings.size() + 12;
        return total;
    };
    const std::function<void(qsizetype, qsizetype, qsizetype)> place =
        [&](qsizetype from, qsizetype to, qsizetype length) {
            const QString prefix = all[from].term.left(length);
            if (length >= longestPrefix || bytes(all, from, to) <= shardBytes) {
                result[prefix] += all.mid(from, to - from);
                return;
            }
            QList<ShardTerm> &own = result[prefix];
            qsizetype i = from;
            while (i < to && all[i].term.size() <= length)
                own.append(all[i++]);
            while (i < to) {
                const QStringView child = QStringView(all[i].term).left(length + 1);
                qsizetype end = i + 1;
                while (end < to && QStringView(all[end].term).left(length + 1) == child)
                    ++end;
                place(i, end, length + 1);
                i = end;
            }
        };
    qsizetype i = 0;
    while (i < all.size()) {
        const QChar first = all[i].term.at(0);
        qsizetype end = i + 1;
        while (end < all.size() && all[end].term.at(0) == first)
            ++end;
        place(i, end, 1);
        i = end;
    }
    return result;
}
