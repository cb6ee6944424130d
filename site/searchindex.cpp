#include "site/searchindex.h"

#include <algorithm>
#include <cstring>

namespace {

// The last digit of a number, then the digits before it.
const char finalDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
const char leadingDigits[] = "WXYZabcdefghijklmnopqrstuvwxyz-_";

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Terms longer than this are names of generated tables and the like; nobody types them.
constexpr qsizetype longestTerm = 48;

void takeTerm(QStringView word, const std::function<void(const QString &)> &take) {
    if (word.size() < 2 || word.size() > longestTerm)
        return;
    take(word.toString().toLower());
}

// Bits of a term's place on the page being added: title, heading and a body count.
constexpr quint8 inTitle = 1, inHeading = 2, bodyStep = 4, bodyMask = 12;

quint8 weightOf(quint8 place) {
    return quint8((place & inTitle ? 8 : 0) + (place & inHeading ? 3 : 0) + (place >> 2));
}

} // namespace

void forEachTerm(QStringView text, const std::function<void(const QString &)> &take) {
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
        takeTerm(word, take);
        // Parts: split at underscores and where a lower-case letter meets a capital.
        qsizetype partStart = 0;
        bool split = false;
        for (qsizetype k = 1; k <= word.size(); ++k) {
            const bool atEnd = k == word.size();
            const bool boundary =
                atEnd || word[k] == u'_' || (word[k].isUpper() && word[k - 1].isLower());
            if (!boundary)
                continue;
            if (!atEnd)
                split = true;
            if (split && k > partStart)
                takeTerm(word.mid(partStart, k - partStart), take);
            partStart = atEnd || word[k] != u'_' ? k : k + 1;
        }
    }
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
    current_.clear();
}

void SearchIndex::addText(QStringView text, Field field) {
    forEachTerm(text, [&](const QString &term) {
        auto id = termIds_.constFind(term);
        if (id == termIds_.constEnd()) {
            id = termIds_.insert(term, quint32(terms_.size()));
            terms_.append(term);
            postings_.emplace_back();
        }
        quint8 &place = current_[*id];
        if (field == Title)
            place |= inTitle;
        else if (field == Heading)
            place |= inHeading;
        else if ((place & bodyMask) != bodyMask)
            place += bodyStep;
    });
}

void SearchIndex::endDocument() {
    for (auto it = current_.cbegin(); it != current_.cend(); ++it) {
        TermPostings &term = postings_[it.key()];
        ++term.documents;
        term.postings.push_back(Posting{document_, weightOf(it.value())});
        // Cut long lists as they grow, so that common words cost no more memory than
        // what will be written of them.
        if (term.postings.size() >= size_t(postingCap) * 4)
            trim(term.postings);
    }
    current_.clear();
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
    std::vector<quint32> order(size_t(terms_.size()));
    for (quint32 i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](quint32 a, quint32 b) { return terms_[a] < terms_[b]; });
    QList<ShardTerm> all;
    all.reserve(terms_.size());
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
        all.append(ShardTerm{terms_[id], postings_[id].documents, encodeNumbers(numbers)});
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
            // Prefixes stop at six characters: past that a shard is one name's family.
            if (length >= 6 || bytes(all, from, to) <= shardBytes) {
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
