#pragma once

#include "docgen/outputpage.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class DocGen;

// The navigation of modern pages (QUILLGEN_PAGES=modern): a breadcrumb, the previous
// and next pages in contents order and, with the site, its search box. Each page gets
// it as OutputPage::navigation, written by the page template between the body's start
// and its main part.
//
// A manual's pages come in contents order, so each page is held back until the next
// one is made: only then is its "next" link known. A header's pages come in the order
// of its declarations, not of its contents, so the order (the index page, then the
// declarations by name) is worked out before the first page is made.
class ModernPages {
public:
    // A step of a breadcrumb: a page, by its file name as the page list names it, or
    // a title that no page stands for (file empty), as its contents line has it: text
    // as it stands in HTML.
    struct Crumb {
        QString file;
        QString title;
    };

    // The folder of the site (absolute), or empty without the site: then no search box.
    QString siteFolder;
    // The script that draws the contents at the side (share/quillgen/sidebar.js), or
    // empty: then pages get no contents at the side.
    QString sidebarScript;

    // Called before an input's first page: names its contents script. The script,
    // made at the input's end, is this function and a call of it with the input's
    // contents; every page of the input loads it.
    void startInput(const DocGen &doc);

    // Manuals. The contents lines made since the last call open and close the steps
    // of the trail; called once a page is started, it tells the page's place.
    void manualPageStarted(const DocGen &doc);
    // Takes a finished manual page: the one held before goes on to doc.pages, with
    // this one as its next page, and this one is held.
    void addManualPage(DocGen &doc, OutputPage &&page);
    // Hands on the page held back, the input's last, which has no next page.
    void finishManual(DocGen &doc);

    // Headers. names: the declarations that get pages, in any order; indexFile: the
    // header's index page; header: the header's file name.
    void startHeader(std::vector<QString> names, const QString &outputDirectory,
                     const QString &indexFile, const QString &header);
    // Called as each declaration's page is started, in the order of the names given
    // to startHeader.
    void declarationStarted() { ++declaration_; }
    // The navigation and the lead (the title, the brief, where it comes from) of the
    // page of the declaration name, the one last started.
    void fillDeclarationPage(const DocGen &doc, OutputPage &page, const QString &name,
                             const QString &brief, const QString &group);
    // The navigation and heading of the header's index page.
    void fillIndexPage(OutputPage &page);
    // Hands on the header's contents script, after its last page.
    void finishHeader(DocGen &doc);

private:
    // The start of the navigation: the breadcrumb ending at the page, the search box,
    // the previous page's link. The next page's link and closePager() follow.
    void openNavigation(QString &out, const QString &file, const Crumb *trail, size_t trailSize,
                        const QString &title, const Crumb *previous);
    static void appendPagerLink(QString &out, const QString &from, const Crumb &to, bool next);
    // Ends the pager, and adds the place for the contents at the side with its script.
    void closePager(QString &out, const QString &file);
    // Hands the input's contents script to doc.pages: tree is its contents, as a list
    // of JavaScript entries.
    void addContentsScript(DocGen &doc, const QString &tree);
    // The search page's path from the folder of file.
    const QString &searchHref(const QString &file);

    // Manuals: the open contents elements, the trail of the page being built, the
    // input's first page, and the page held back with its title for the next one.
    std::vector<Crumb> open_;
    qsizetype linesRead_ = 0;
    std::vector<Crumb> pageTrail_;
    Crumb manualRoot_;
    std::optional<OutputPage> held_;
    QHash<QString, QString> pageTitles_; // file -> title, of the input's manual pages
    Crumb heldCrumb_;

    // Headers: the pages in contents order; the place there of each declaration that
    // gets a page, in the order of the declarations; the one whose page is being made.
    std::vector<Crumb> headerOrder_;
    std::vector<size_t> places_;
    size_t declaration_ = 0;

    QString scriptFile_;   // the input's contents script; empty: none
    QString searchFolder_; // the folder searchHref_ was worked out for
    QString searchHref_;
};
