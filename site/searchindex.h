#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <string>
#include <vector>

// Sorts items by key(item), a QStringView, in the order of code units (as QString
// compares), ties by tie(a, b). The first twelve code units, packed into three numbers,
// decide most comparisons; generated names share long beginnings and come in an order
// that drives a quicksort to its slow fallback, so the items are merged instead.
template <typename Item, typename Key, typename Tie>
void sortByKey(std::vector<Item> &items, Key key, Tie tie) {
    struct Sorted {
        quint64 start[3];
        size_t index;
    };
    std::vector<Sorted> order(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const QStringView k = key(items[i]);
        Sorted &s = order[i];
        s.index = i;
        for (qsizetype c = 0; c < 12; ++c)
            s.start[c / 4] = s.start[c / 4] << 16 | (c < k.size() ? k[c].unicode() : 0);
    }
    std::stable_sort(order.begin(), order.end(), [&](const Sorted &a, const Sorted &b) {
        if (!std::equal(a.start, a.start + 3, b.start))
            return std::lexicographical_compare(a.start, a.start + 3, b.start, b.start + 3);
        const QStringView x = key(items[a.index]), y = key(items[b.index]);
        return x != y ? x < y : tie(items[a.index], items[b.index]);
    });
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (const Sorted &s : order)
        sorted.push_back(std::move(items[s.index]));
    items.swap(sorted);
}

// One term's postings in a shard: its document frequency (before the list was cut) and
// pairs of (distance to the previous document, weight), written in digits that a script
// string holds as they stand.
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

// Letters, digits and '_' (beyond ASCII as Qt tells them) make words; anything else
// ends them.
inline bool isWordChar(QChar c) {
    const char16_t u = c.unicode();
    return u < 128 ? (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                         u == '_'
                   : c.isLetterOrNumber();
}

// The postings of a search index, built page by page and written as shards by term
// prefix. Terms are lower-cased runs of letters, digits and '_'. A name joined by "_"
// or written in camel case gives itself and each of its parts, so that uart_open is
// found by "uart", "open" and "uart_open"; underscores at its ends belong to no part
// (__init__ is init). Terms of one character, or of more than 48, are left out.
class SearchIndex {
public:
    // Where a text stands on its page. A page's weight for a term is 8 when the term is
    // in its title, 3 more when in a heading, and one for each time in the body, up to 3.
    // A title of one word is the page's name (a declaration's): the term that is the
    // whole word adds nameWeight, which search.js reads as "this page is named so" and
    // ranks above any count of words.
    enum Field { Title, Heading, Body };
    static constexpr int nameWeight = 16;
    // Postings kept per term: the heaviest, earliest pages. A word on every page finds
    // nothing useful, and its list would cost every query that loads its shard.
    static constexpr int postingCap = 2000;
    // Shards are split by prefixes of at most this many characters: generated names
    // share long prefixes, and past this a shard is one name's family.
    static constexpr int longestPrefix = 12;

    void beginDocument(quint32 document) { document_ = document; }
    void addText(QStringView text, Field field);
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
    struct Term {
        QString text;
        quint32 documents = 0; // pages the term is on, before its list was cut
        std::vector<Posting> postings;
    };
    // Cuts postings to the cap; returns how many are left.
    static size_t trim(Posting *postings, size_t size);
    quint32 termId(const QString &term);
    // The terms of a word, split once per spelling: words recur far more often than
    // they are new.
    const std::vector<quint32> &termsOf(QStringView word);

    std::vector<Term> terms_;
    QHash<QString, quint32> termIds_;
    QHash<QString, std::vector<quint32>> wordTerms_;
    // Where each term stood on the page being added (0: not on it), and the terms it holds.
    std::vector<quint8> places_;
    std::vector<quint32> touched_;
    quint32 document_ = 0;
};
