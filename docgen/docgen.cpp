#include "docgen/docgen.h"

#include "colouring/htmlescape.h"
#include "docgen/blockstate.h"
#include "docgen/headerpipeline.h"
#include "docgen/htmltext.h"
#include "docgen/modernpages.h"
#include "docgen/pagetemplate.h"
#include "docgen/preprocessor.h"
#include "docgen/programtables.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

DocGen::DocGen() : modern(std::make_unique<ModernPages>()) {}

DocGen::~DocGen() = default;

void DocGen::processFile(int mode_, const QString &input, const QString &outputDirectory_,
                         OutputPageList &pages_, const QString &format,
                         const QStringList &excludedNames) {
    formatName = format;
    ProgramTables &tables = programTables();
    tables.entries.clear();
    tables.groupList.clear();
    mode = mode_;
    blockState = BlockNone;
    lineNumber = -1;
    pages = &pages_;
    inputPath = input;
    outputDirectory = outputDirectory_;

    // The suffix is compared exactly: x.DG, x.H and a.b.dg produce nothing.
    const QString suffix = QFileInfo(input).completeSuffix();
    if (modernPages)
        modern->startInput(*this);
    if (suffix == QLatin1String("dg")) {
        contentsLevel = 0;
        preprocess(*this, input);
        flushPage();
        if (modernPages)
            modern->finishManual(*this);
    } else if (suffix == QLatin1String("h")) {
        contentsLevel = 0;
        documentHeader(*this, input, excludedNames);
    }
}

void DocGen::flushPage() {
    switchBlock(*this, BlockNone);
    if (!pageBody.isEmpty() && !pageName.isEmpty() && pages) {
        if (mode == ModePages) {
            // The body goes with the page as it stands, to be wrapped in the template
            // where it is written; the next page is built in room as large as this one
            // needed, instead of growing a new buffer a few characters at a time.
            const qsizetype size = pageBody.size();
            if (modernPages)
                addModernPage(OutputPage{pageFileName(), pageTitle, std::move(pageBody), true,
                                         std::exchange(pageWords, {})});
            else
                pages->append(OutputPage{pageFileName(), pageTitle, std::move(pageBody), true,
                                         std::exchange(pageWords, {})});
            pageBody = QString();
            pageBody.reserve(size);
        } else {
            pages->append(OutputPage{pageFileName(), pageTitle, pageBody, false,
                                     std::exchange(pageWords, {})});
        }
    }
    clearWords();
    pageName.clear();
    pageTitle.clear();
    entityBrief.clear();
    entityGroup.clear();
    // Emptied, not released: the next page is built in the room this one grew.
    pageBody.resize(0);
}

QString DocGen::pageFileName() const {
    const QString name =
        pageName.endsWith(QLatin1String(".htm")) ? pageName : pageName + QLatin1String(".htm");
    if (manualOutput.isEmpty() || name.startsWith(u'/'))
        return name;
    return manualOutput + u'/' + name;
}

void DocGen::startPage(const QString &name, bool quiet) {
    if (!quiet) {
        closeContentsLevels();
        if (!name.isEmpty())
            contentsLines.append(QLatin1String("<content url=\"") + name +
                                 QLatin1String(".htm\">"));
    }
    flushPage();
    pageName = name;
    if (modernPages && !quiet)
        modern->manualPageStarted(*this);
}

void DocGen::addModernPage(OutputPage &&page) {
    if (!sourceRoot) {
        modern->addManualPage(*this, std::move(page));
        return;
    }
    modern->fillDeclarationPage(*this, page, page.title, entityBrief, entityGroup);
    pages->append(std::move(page));
}

void DocGen::closeContentsLevels() {
    if (!pageName.isEmpty() || !pageTitle.isEmpty()) {
        if (contentsLevel > openContentsLevel) {
            // The open page's element stays open: the next entry nests inside it.
            openContentsLevel = contentsLevel;
            return;
        }
        contentsLines.append(QStringLiteral("</content>"));
    }
    for (; openContentsLevel > contentsLevel; --openContentsLevel)
        contentsLines.append(QStringLiteral("</content>"));
    openContentsLevel = contentsLevel;
}

void DocGen::setTitle(const QString &title) {
    pageTitle = title;
    if (!title.isEmpty()) {
        switchBlock(*this, BlockNone);
        if (mode == ModeBodies) {
            appendHeading(pageBody, contentsLevel, title);
            addWords(WordsPart::Heading, title);
            endWordsBlock();
        }
    }
}

const CodeLinks *DocGen::codeLinks(QStringView self) {
    if (!declarationPages)
        return nullptr;
    // The page's folder as its name gives it; the index page of a header is made with
    // no page open, and goes with the declarations' pages. Compared in place: this is
    // asked for every synopsis.
    const bool named = !pageName.isEmpty();
    const bool underManual = named && !manualOutput.isEmpty() && !pageName.startsWith(u'/');
    const QStringView folder =
        named ? QStringView(pageName).left(qMax<qsizetype>(pageName.lastIndexOf(u'/'), 0))
              : QStringView(outputDirectory);
    if (codeLinks_.names == nullptr || folder != linksFolder_ || underManual != linksUnderManual_) {
        // Made once for each folder the input's pages go to, which is mostly one.
        linksFolder_ = folder.toString();
        linksUnderManual_ = underManual;
        QString path = linksFolder_.isEmpty() && named ? QStringLiteral(".") : linksFolder_;
        if (pageName.startsWith(u'/') && linksFolder_.isEmpty())
            path = QStringLiteral("/");
        if (underManual)
            path = manualOutput + u'/' + path;
        const QString relative =
            QDir(QFileInfo(path).absoluteFilePath())
                .relativeFilePath(QFileInfo(outputDirectory).absoluteFilePath());
        codeLinks_.prefix.clear();
        if (relative != QLatin1String(".") && !relative.isEmpty()) {
            appendEscapedXml(codeLinks_.prefix, relative);
            codeLinks_.prefix += u'/';
        }
        codeLinks_.names = declarationPages;
    }
    codeLinks_.self = self;
    return &codeLinks_;
}
