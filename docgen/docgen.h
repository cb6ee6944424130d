#pragma once

#include "colouring/colourcode.h"
#include "common/readertext.h"
#include "common/texthash.h"
#include "docgen/headerparse.h"
#include "docgen/lineorigins.h"
#include "docgen/outputpage.h"
#include "sourcebrowser/sourcebrowserroot.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <vector>

class ModernPages;

// The modes of processFile: complete HTML pages, which the tool always asks for, or
// page bodies alone with their titles as headings.
constexpr int ModeBodies = 0;
constexpr int ModePages = 1;

// The documentation set of one input file: the page being built, the contents lines,
// and the state that the preprocessor, the interpreter and the header pipeline share
// while they turn the file into pages. The driver makes one per input file.
class DocGen {
public:
    DocGen();
    virtual ~DocGen();
    DocGen(const DocGen &) = delete;
    DocGen &operator=(const DocGen &) = delete;

    // Turns one input file into pages appended to pages. ModePages wraps every page in
    // the page template; any other mode writes bodies alone with titles as headings.
    void processFile(int mode, const QString &input, const QString &outputDirectory,
                     OutputPageList &pages, const QString &format,
                     const QStringList &excludedNames);

    // Finishes the page being built: closes open blocks and hands a named, non-empty
    // page to the page list. The page fields are emptied either way.
    void flushPage();
    // Finishes the current page and opens one named name. Markup pages (quiet false)
    // also get their contents line.
    void startPage(const QString &name, bool quiet);
    // The file the page being built goes to: its name, with ".htm" added when missing,
    // under manualOutput when that is set and the name is relative.
    QString pageFileName() const;
    void setTitle(const QString &title);
    // Writes the "</content>" lines that the contents nesting needs before a new entry.
    void closeContentsLevels();

    QString inputPath;
    QString outputDirectory;
    // The folder a manual's pages go to (QUILLGEN_MANUAL_OUTPUT), with the icons and
    // images they show; empty: a page name is relative to the working directory.
    QString manualOutput;
    // A file that a page shows, to be copied where the page finds it: recorded only
    // while manualOutput is set, when from (read from the working directory) is not
    // to.
    struct FileCopy {
        QString from;
        QString to;
    };
    std::vector<FileCopy> copies;
    // The icon images written for the pages, as named when written.
    QStringList iconsWritten;
    OutputPageList *pages = nullptr; // the caller's list; finished pages are dropped while unset
    int mode = ModePages;
    int blockState = 0;
    int lineNumber = -1;
    int contentsLevel = 0;
    int openContentsLevel = 0; // "content" elements open beyond the current page's own
    int matrixColumns = 1;
    int matrixColumnPercent = 0;
    std::unordered_map<QString, QString, TextHash> splitTitles; // page name -> title
    QString pageBody;
    QString pageName; // empty: no page open
    QString pageTitle;
    QStringList contentsLines;
    // Whether the input's contents file (its ".xml" entry among the pages) is made. It
    // is never written as a page: only a caller that reads it (the reader's site) asks
    // for it, and a header's is sorted, which is work for nothing otherwise.
    bool contentsWanted = true;
    // Whether each page gets its words (OutputPage::words) as it is made: only a
    // caller that indexes them (the reader's site) asks.
    bool wordsWanted = false;
    // Pages with navigation (QUILLGEN_PAGES=modern) instead of the classic ones, and
    // what gives each its navigation.
    bool modernPages = false;
    std::unique_ptr<ModernPages> modern;
    // The brief and group of the declaration whose page is being built, kept for the
    // top of its modern page.
    QString entityBrief;
    QString entityGroup;
    // The declarations of the whole run that get a page (in outputDirectory), for the
    // links from code and from "\ref" to them; null: no such links (classic pages).
    const PageNames *declarationPages = nullptr;
    // The links from code on the page being built, which is self's page (empty for none),
    // or null when the run makes none.
    const CodeLinks *codeLinks(QStringView self);
    // The words of the page being built, while wordsWanted.
    PageWords pageWords;
    // Adds text that the page being built shows in part. With markup the text is as
    // written into the page, tags and entities and all (running text of the markup,
    // raw HTML); without, it is plain text that the page shows escaped.
    void addWords(WordsPart part, QStringView text, bool markup = false) {
        if (wordsWanted)
            takeWords(part, text, markup);
    }
    // Forgets the words of the page being built, whose text was dropped.
    void clearWords() {
        pageWords = PageWords();
        wordsState_ = readertext::State();
    }
    // Ends a block of the page being built: its words do not run on into the next.
    void endWordsBlock() {
        if (wordsWanted)
            separateWords();
    }
    QString formatName = QStringLiteral("html");
    // Where the lines of the text being interpreted came from, while warnings are on.
    LineOrigins origins;
    // The parsed header of an "h" input, while its pages are built.
    std::unique_ptr<SourceBrowserRoot> sourceRoot;
    // The header being rendered: one the caller parsed for processFile to render when
    // its path is the input's, else the one processFile parses. Its model is back in it once its
    // pages are made, for the caller to free where it was made.
    std::unique_ptr<ParsedHeader> parsedHeader;

private:
    // Hands a finished page on with its navigation, under modernPages.
    void addModernPage(OutputPage &&page);
    void takeWords(WordsPart part, QStringView text, bool markup);
    void separateWords();
    readertext::State wordsState_; // what markup text left open for its next piece
    CodeLinks codeLinks_;
    // The folder of the page codeLinks_.prefix was made for, as its name gives it, and
    // whether it is under manualOutput.
    QString linksFolder_;
    bool linksUnderManual_ = false;
};
