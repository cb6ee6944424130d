#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Index terms of a text: lower-cased runs of letters and digits. A name joined by "_"
// or written in camel case gives itself and each of its parts, so that uart_open is
// found by "uart", "open" and "uart_open". Terms of one character are left out.
void forEachTerm(QStringView text, const std::function<void(const QString &)> &take);

// Numbers written as text that a script string holds without escapes: base 32, the
// last digit of each number from one alphabet and the others from a second one, so
// that numbers need no separator.
QString encodeNumbers(const std::vector<quint32> &numbers);
// The numbers back; false when the text holds a character of neither alphabet or ends
// inside a number.
bool decodeNumbers(QStringView text, std::vector<quint32> &numbers);

// One term's postings in a shard: its document frequency (before the list was cut)
// and pairs of (distance to the previous document, weight).
struct ShardTerm {
    QString term;
    quint32 documents = 0;
    QString postings;
};

// Builds the postings of a search index page by page and writes them as shards by term
// prefix. Only postings are held: a page's text is gone once it has been added.
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

    // Adds the terms of one page, one piece of text at a time.
    void beginDocument(quint32 document);
    void addText(QStringView text, Field field);
    void endDocument();

    // Shard prefix -> terms, for the documents that are alive (document ids are renumbered
    // to their position in alive). A prefix whose terms exceed shardBytes is split by the
    // next character; its own short terms stay with it.
    QMap<QString, QList<ShardTerm>> shards(const std::vector<bool> &alive, int shardBytes) const;

private:
    struct Posting {
        quint32 document;
        quint8 weight;
    };
    struct TermPostings {
        quint32 documents = 0;
        std::vector<Posting> postings;
    };
    static void trim(std::vector<Posting> &postings);

    // Looks a term up, adding it when new. Terms are kept end to end in one array,
    // found by an open-addressed table of ids: a string and a hash node per term cost
    // more than all the rest of indexing a page.
    quint32 intern(const char16_t *term, qsizetype size, size_t hash);
    QStringView term(quint32 id) const {
        return QStringView(termChars_.data() + termStart_[id], termStart_[id + 1] - termStart_[id]);
    }
    std::vector<char16_t> termChars_;
    std::vector<quint32> termStart_{0}; // where each term starts, and where the last ends
    std::vector<quint32> termHashes_;
    std::vector<quint32> slots_; // term id + 1, 0 for none
    std::vector<TermPostings> postings_;
    // Where each term stood on the page being added (0: not on it), and the terms it holds.
    std::vector<quint8> places_;
    std::vector<quint32> touched_;
    QString term_;                  // the term being looked up
    std::vector<char16_t> lowered_; // the word being split, lower-cased
    quint32 document_ = 0;
};
