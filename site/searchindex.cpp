#include "site/searchindex.h"

#include <algorithm>
#include <cstring>

namespace {

// The last digit of a number, then the digits before it.
const char finalDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
const char leadingDigits[] = "WXYZabcdefghijklmnopqrstuvwxyz-_";

bool isWordChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               u == '_';
    return c.isLetterOrNumber();
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
    QString out;
    out.reserve(qsizetype(numbers.size()) * 2);
    char digits[8];
    for (quint32 n : numbers) {
        int count = 0;
        digits[count++] = finalDigits[n % 32];
        for (n /= 32; n > 0; n /= 32)
            digits[count++] = leadingDigits[n % 32];
        while (count > 0)
            out += QLatin1Char(digits[--count]);
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
        if (termHashes_[id] == shortHash && termStart_[id + 1] - termStart_[id] == size &&
            std::memcmp(termChars_.data() + termStart_[id], chars, size * sizeof(char16_t)) == 0)
            return id;
    }
}

void SearchIndex::addText(QStringView text, Field field) {
    splitTerms(text, [&](QStringView word) {
        // Lower-cased with its hash (FNV-1a over the code units) in one pass; words with
        // other than ASCII are lower-cased as Qt does, which may change their length.
        char16_t lower[longestTerm];
        const char16_t *chars = lower;
        qsizetype size = word.size();
        size_t hash = 1469598103934665603ull;
        for (qsizetype i = 0; i < size; ++i) {
            char16_t u = word[i].unicode();
            if (u >= 128) {
                term_ = word.toString().toLower();
                chars = reinterpret_cast<const char16_t *>(term_.constData());
                size = term_.size();
                hash = 1469598103934665603ull;
                for (qsizetype k = 0; k < size; ++k)
                    hash = (hash ^ chars[k]) * 1099511628211ull;
                break;
            }
            if (u >= 'A' && u <= 'Z')
                u += 32;
            lower[i] = u;
            hash = (hash ^ u) * 1099511628211ull;
        }
        const quint32 id = intern(chars, size, hash);
        quint8 &place = places_[id];
        if (place == 0)
            touched_.push_back(id);
        if (field == Title)
            place |= inTitle;
        else if (field == Heading)
            place |= inHeading;
        else if ((place & bodyMask) != bodyMask)
            place += bodyStep;
    });
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
    std::sort(order.begin(), order.end(),
              [&](quint32 a, quint32 b) { return term(a).compare(term(b)) < 0; });
    QList<ShardTerm> all;
    all.reserve(qsizetype(order.size()));
    std::vector<quint32> numbers;
    for (const quint32 id : order) {
        std::vector<Posting> postings;
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
