#pragma once

#include "docgen/pagewords.h"
#include "site/searchindex.h"
#include "site/textout.h"

#include <QDir>
#include <QHash>
#include <QString>

#include <vector>

// What a run gives its readers besides the pages: a full-text search (search.htm and its
// index shards in search-index/), the contents of all inputs on one page (contents.htm)
// and an A-Z index of declarations and page titles (genindex.htm). The driver hands it
// every page's words as the page is made; only postings, titles and excerpts are kept.
// Everything is written into one folder (the working directory, or where the manuals'
// pages go), with links relative to it.
class Site {
public:
    // folder: absolute. Relative page names are taken from the working directory.
    explicit Site(const QString &folder);

    // A page the run wrote, with its words. Manual pages (from markup inputs) also enter
    // the A-Z index by their titles; input is the file that gave them.
    void addPage(const QString &fileName, const QString &title, const PageWords &words,
                 const QString &input, bool manualPage);
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

    // Writes the site; stylesheet is copied into every folder that received pages and
    // lacks one. Returns an error message, empty on success. A site that cannot be
    // written whole leaves the one of an earlier run as it was, or its search page gone.
    QByteArray write(const QString &stylesheet);

    // How many documents a script file of the document table holds, and the size a
    // term shard may reach before it is split by the next character of its terms.
    static constexpr int documentsPerChunk = 32;
    static constexpr int shardBytes = 48 * 1024;
    // The most of a page's text that is kept for its results to show a part of, where
    // the words found stand.
    static constexpr int excerptLength = 2000;

private:
    struct Document {
        QString path; // relative to the working directory
        QString title;
        QByteArray excerpt; // its brief, then its text: a JSON string, as written
        bool alive = true;  // no later page was written at its path
    };
    struct IndexEntry {
        QString name;
        QString kind;
        QString href;
        QString where;
        QString whereHref;
        QString brief;
    };
    // The site's files, formed: the search page, the files of its folder, the contents
    // and the A-Z index.
    struct SiteFiles {
        QByteArray page;
        std::vector<std::pair<QString, QByteArray>> shards;
        QByteArray contents;
        QByteArray index;
    };

    QString relative(const QString &fileName) const;
    QString link(quint32 document) const;
    void formDocuments(SiteFiles &files, QStringList &folders, quint32 &count) const;
    void formShards(SiteFiles &files, TextOut &manifest) const;
    QByteArray formSearch(SiteFiles &files) const;
    QByteArray formContents() const;
    QByteArray formIndex() const;
    QByteArray install(const SiteFiles &files, const QString &stylesheet);
    QByteArray copyStylesheet(const QString &stylesheet);

    QString workingDirectory_;
    QDir workingFolder_;
    // The working directory and "/" when it is not the folder; relative page names
    // are read from there.
    QString pageBase_;
    std::vector<Document> documents_;
    QHash<QString, quint32> documentAt_; // the last document written at a path
    SearchIndex index_;
    TextOut contents_;                // the items of contents.htm, as written
    std::vector<IndexEntry> entries_; // in the order added
};
