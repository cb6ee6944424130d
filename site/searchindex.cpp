#include "site/searchindex.h"

#include <cstring>

namespace {

// Numbers are written in base 32, the last digit of each from one alphabet and the
// others from a second one, so that numbers need no separator; search.js reads them.
const char finalDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
const char leadingDigits[] = "WXYZabcdefghijklmnopqrstuvwxyz-_";

void writeNumber(std::string &out, quint32 n) {
    char digits[8];
    int count = 8;
    digits[--count] = finalDigits[n % 32];
    for (n /= 32; n > 0; n /= 32)
        digits[--count] = leadingDigits[n % 32];
    out.append(digits + count, size_t(8 - count));
}

bool isUpper(QChar c) {
    return c.unicode() < 128 ? c.unicode() >= 'A' && c.unicode() <= 'Z' : c.isUpper();
}

bool isLower(QChar c) {
    return c.unicode() < 128 ? c.unicode() >= 'a' && c.unicode() <= 'z' : c.isLower();
}

// Terms longer than this are names of generated tables and the like; nobody types them.
constexpr qsizetype longestTerm = 48;

// A word without the underscores at its ends, which belong to no part: __init__ is init.
QStringView core(QStringView word) {
    qsizetype from = 0, to = word.size();
    while (from < to && word[from] == u'_')
        ++from;
    while (to > from && word[to - 1] == u'_')
        --to;
    return word.mid(from, to - from);
}

// Calls take(term) for a word (a run of letters, digits and '_') and every part of it
// that has parts, in their written case; terms too short or too long are left out.
template <typename Take>
void splitWord(QStringView word, Take take) {
    const auto offer = [&](QStringView term) {
        if (term.size() >= 2 && term.size() <= longestTerm)
            take(term);
    };
    word = core(word);
    if (word.isEmpty())
        return;
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

// Whether the first term that splitWord gives for a word is the word itself.
bool isWholeTerm(QStringView word) {
    const qsizetype size = core(word).size();
    return size >= 2 && size <= longestTerm;
}

// Bits of a term's place on the page being added: title, heading, a body count and
// name. The heaviest weight, 16 + 8 + 3 + 3, is still one digit of the postings.
constexpr quint8 inTitle = 1, inHeading = 2, bodyStep = 4, bodyMask = 12, inName = 16;

quint8 weightOf(quint8 place) {
    return quint8((place & inName ? SearchIndex::nameWeight : 0) + (place & inTitle ? 8 : 0) +
                  (place & inHeading ? 3 : 0) + ((place & bodyMask) >> 2));
}

} // namespace

quint32 SearchIndex::termId(const QString &term) {
    const auto found = termIds_.constFind(term);
    if (found != termIds_.constEnd())
        return *found;
    const quint32 id = quint32(terms_.size());
    termIds_.insert(term, id);
    terms_.push_back(Term{term, 0, {}});
    places_.push_back(0);
    return id;
}

const std::vector<quint32> &SearchIndex::termsOf(QStringView word) {
    // Looked up in place: most words were seen before, and a copy of each would be an
    // allocation per word of every page.
    const QString key = QString::fromRawData(word.data(), word.size());
    const auto found = wordTerms_.constFind(key);
    if (found != wordTerms_.constEnd())
        return *found;
    std::vector<quint32> terms;
    splitWord(word, [&](QStringView term) { terms.push_back(termId(term.toString().toLower())); });
    return *wordTerms_.insert(word.toString(), std::move(terms));
}

void SearchIndex::addText(QStringView text, Field field) {
    const QStringView trimmed = text.trimmed();
    for (qsizetype at = 0; at < text.size();) {
        if (!isWordChar(text[at])) {
            ++at;
            continue;
        }
        qsizetype end = at + 1;
        while (end < text.size() && isWordChar(text[end]))
            ++end;
        const QStringView word = text.mid(at, end - at);
        // A title that is this one word names the page.
        bool name = field == Title && word.size() == trimmed.size() && isWholeTerm(word);
        for (const quint32 id : termsOf(word)) {
            quint8 &place = places_[id];
            if (place == 0)
                touched_.push_back(id);
            if (name)
                place |= inName;
            name = false; // the parts that follow the whole word are not the name
            if (field == Title)
                place |= inTitle;
            else if (field == Heading)
                place |= inHeading;
            else if ((place & bodyMask) != bodyMask)
                place += bodyStep;
        }
        at = end;
    }
}

void SearchIndex::endDocument() {
    for (const quint32 id : touched_) {
        Term &term = terms_[id];
        ++term.documents;
        term.postings.push_back(Posting{document_, weightOf(places_[id])});
        places_[id] = 0;
        // Cut long lists as they grow, so that common words cost no more memory than
        // what will be written of them.
        if (term.postings.size() >= size_t(postingCap) * 4)
            term.postings.resize(trim(term.postings.data(), term.postings.size()));
    }
    touched_.clear();
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
    std::vector<quint32> order(terms_.size());
    for (quint32 id = 0; id < order.size(); ++id)
        order[id] = id;
    // No two terms are the same: the tie is never asked.
    sortByKey(
        order, [&](quint32 id) { return QStringView(terms_[id].text); },
        [](quint32, quint32) { return false; });

    IndexShards result;
    std::vector<std::pair<quint32, size_t>> written; // term and where its postings end
    std::vector<Posting> kept;
    for (const quint32 id : order) {
        // Pages written again, and lists longer than the cap, leave fewer postings.
        kept.clear();
        for (const Posting &p : terms_[id].postings)
            if (p.document < alive.size() && alive[p.document])
                kept.push_back(p);
        kept.resize(trim(kept.data(), kept.size()));
        if (kept.empty())
            continue;
        quint32 previous = 0;
        for (const Posting &p : kept) {
            const quint32 document = renumbered[p.document];
            writeNumber(result.postings, document - previous);
            writeNumber(result.postings, p.weight);
            previous = document;
        }
        written.emplace_back(id, result.postings.size());
    }
    std::vector<ShardTerm> &all = result.terms;
    // What each run of terms weighs in a shard, from the sums of the terms before it.
    std::vector<qsizetype> before(written.size() + 1, 0);
    for (size_t i = 0; i < written.size(); ++i) {
        const size_t start = i == 0 ? 0 : written[i - 1].second;
        const Term &term = terms_[written[i].first];
        all.push_back(ShardTerm{
            term.text, term.documents,
            QLatin1String(result.postings.data() + start, qsizetype(written[i].second - start))});
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
    for (size_t i = 0; i < all.size();) {
        size_t end = i + 1;
        while (end < all.size() && all[end].term.at(0) == all[i].term.at(0))
            ++end;
        place(i, end, 1, place);
        i = end;
    }
    return result;
}
