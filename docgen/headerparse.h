#pragma once

#include "docgen/headerpipeline.h"

#include "sourcebrowser/sourcebrowserroot.h"

#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// A header file parsed into its model, with everything the parser found out on the way.
// Parsing touches nothing outside this object (no warnings printed, no file list
// updated), so a header can be parsed on another thread while the pages of the one
// before it are still being built; whoever renders it replays what was gathered.
struct ParsedHeader {
    struct Message {
        QString fileName;
        int line;
        QString text;
    };

    QString path;        // the input as given
    bool opened = false; // the file could be read
    int readError = 0;   // the errno of a failure to open or read all of it, or 0
    std::unique_ptr<SourceBrowserRoot> root;
    QString overview;                           // the header's overview comments, joined
    QList<std::pair<int, int>> overviewOrigins; // overview line -> header line
    QList<int> unattachedComments;              // lines of "/*!" comments that document nothing
    QList<Message> parserMessages;              // in the order the parser gave them
    // The macro that keeps the header from being read twice, and the one-based line of
    // its "#define"; kept with the messages only. An empty name when there is none.
    QString includeGuard;
    int includeGuardLine = 0;
};

// Calls visit with each list of the model's global declarations, in the order their pages
// are made: macros, structs, variables, types, functions.
template <typename Visit>
void forEachDeclarationList(const SourceBrowserRoot &root, Visit &&visit) {
    visit(root.allMacros());
    visit(root.allStructs());
    visit(root.allVariables());
    visit(root.allTypes());
    visit(root.allMethods());
}

// A declaration gets a page when its comment is a documentation comment: one that
// begins with "!".
inline bool getsPage(const SourceBrowserObject &entity) {
    return entity.comment.startsWith(u'!');
}

class PageNames;

// Adds to pages the names of the parsed header's declarations whose page is written,
// before the pages are made. A comment of only "\brief" and "\ingroup" gives an empty
// page, which is not written; whether a comment gives text is judged from its lines
// alone, and a line that starts with a command not known to write something does not
// count, so that a name may be missing but never names a page that is not written.
void addDeclarationPages(const ParsedHeader &parsed, PageNames &pages);

// Parses the header at path. The parser's messages are kept only with keepMessages (they
// become warnings, which are off by default), and a run of identical ones only once: a
// hostile header can make the parser complain at every token. With them comes the
// header's include guard, which is no declaration to report.
ParsedHeader parseHeader(const QString &path, bool keepMessages);
