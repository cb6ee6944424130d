#pragma once

#include "site/pagetext.h"
#include "site/searchindex.h"
#include "site/textout.h"

#include <QDir>
#include <QString>

#include <memory>
#include <vector>

// What a run gives its readers besides the pages: a full-text search (search.htm and its
// index shards in search-index/), the contents of all inputs on one page (contents.htm)
// and an A-Z index of declarations and page titles (genindex.htm). The driver hands it
// every page as it is written; only postings, titles and snippets are kept. Everything
// is written into the working directory, with links relative to it.
class Site {
public:
    explicit Site(const QString &workingDirectory);

    // A page the run wrote. Manual pages (from markup inputs) also enter the A-Z index
    // by their titles; input is the file that gave them. With afterBody, text is the
    // page's body alone, which is all of the page that is read.
    void addPage(const QString &fileName, const QString &title, const QString &text,
                 const QString &input, bool manualPage, bool afterBody = false);
    // An input's contents entry: lines of "content" elements whose urls are relative to
    // baseDirectory (empty: the working directory).
    void addContents(const QString &text, const QString &baseDirectory);

    // A documented declaration of a header, for the A-Z index.
    struct Declaration {
        QString name;
        QString kind;
        QString brief;
        QStringView pageFile; // as the run wrote it
        QString header;       // the header's file name
        QString headerPage;   // its index page, as the run wrote it; empty for a header
    };
    void addDeclaration(const Declaration &declaration);
    // The end of an input's pages and declarations: the pages that no brief describes get
    // their snippets now.
    void endInput();

    // Writes the site; stylesheet is copied into every folder that received pages and
    // lacks one. Returns an error message, empty on success. The last call: what the
    // A-Z index kept is freed as it is written.
    QByteArray write(const QString &stylesheet);

    // How many documents a script file of the document table holds, and the size a
    // term shard may reach before it is split by the next character of its terms.
    static constexpr int documentsPerChunk = 32;
    static constexpr int shardBytes = 48 * 1024;
    static constexpr int snippetLength = 160;

private:
    struct Document {
        QString path; // relative to the working directory
        QString title;
        QString snippet;
        quint32 pathHash;
        bool plainHref; // the path is its own href
        bool alive = true;
    };
    // A page's first prose as it stands, for a snippet that a declaration's brief may
    // make needless: copying it costs less than forming the snippet.
    struct PendingSnippet {
        quint32 document;
        const char16_t *prose; // in proseBlocks_
        quint32 size;
    };
    struct IndexEntry {
        QString name;
        QString kind;
        QString href;
        QString where;
        QString whereHref;
        QString brief;
    };

    // The path of a file relative to the working directory: a part of fileName, or of
    // scratch when it has to be formed.
    QStringView relative(QStringView fileName, QString &scratch) const;
    // The document written last at a path; noDocument when none was.
    static constexpr quint32 noDocument = ~quint32(0);
    quint32 findDocument(QStringView path) const;
    quint32 placeDocument(quint32 id);
    // The href of a document's path.
    QString link(quint32 document) const;
    QByteArray writeSearch();
    QByteArray writeContents();
    QByteArray writeIndex();

    QString workingDirectory_;
    QDir workingFolder_;
    std::vector<Document> documents_;
    // The documents by path, open-addressed: id + 1 of the last one at a path, 0 for none.
    // Paths are looked up as parts of longer names, which a QHash would need as strings.
    std::vector<quint32> documentSlots_ = std::vector<quint32>(1024);
    quint32 paths_ = 0; // distinct paths in documentSlots_
    Snippet snippet_{snippetLength};
    static constexpr size_t proseBlockSize = 32 * 1024; // more than a snippet's room
    std::vector<std::unique_ptr<char16_t[]>> proseBlocks_;
    size_t proseUsed_ = 0; // of the last block
    std::vector<PendingSnippet> pendingSnippets_;
    SearchIndex index_;
    TextOut contents_;                // the items of contents.htm, as written
    std::vector<IndexEntry> entries_; // in the order added
    QString lastHeaderPage_, lastHeaderLink_;
    QString lastInput_, lastInputName_; // a manual's file name, for its pages' entries
};
