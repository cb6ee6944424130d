#include "docgen/headerpipeline.h"

#include "common/asciimatch.h"
#include "common/findeither.h"
#include "common/textcopy.h"
#include "common/wordset.h"
#include "docgen/blockstate.h"
#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/filesread.h"
#include "docgen/headerparse.h"
#include "docgen/interpreter.h"
#include "docgen/modernpages.h"
#include "docgen/pagetemplate.h"
#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowsermethod.h"
#include "sourcebrowser/sourcebrowservariable.h"

#include <QFileInfo>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The position after the leading white space of line, or -1 when the next
// character there is not "*".
qsizetype starPosition(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && line.at(i).isSpace())
        ++i;
    return i < line.size() && line.at(i) == u'*' ? i : -1;
}

// Reports, on request, a declaration that gets no page for want of a comment.
void checkUndocumented(const DocGen &doc, const SourceBrowserObject &entity) {
    const int line = entity.declarationLine + 1;
    // The include guard is a macro that no one would document.
    const ParsedHeader &parsed = *doc.parsedHeader;
    if (entity.kind == KindMacro && line == parsed.includeGuardLine &&
        entity.name == parsed.includeGuard)
        return;
    diagnostics().warn(
        doc.inputPath, line,
        QStringLiteral("'%1' has no documentation comment; it gets no page").arg(entity.name),
        "undocumented");
}

// What a documented declaration's page may get wrong once its comment is read: no text,
// so that the page is not written while the header's index page (and the site) link to
// it, or a page of the same name from an earlier input of the run.
void checkPage(const DocGen &doc, const SourceBrowserObject &entity, const QString &pageFile) {
    Diagnostics &diagnostics = ::diagnostics();
    if (doc.pageBody.isEmpty()) {
        diagnostics.warn(
            doc.inputPath, entity.commentLine,
            QStringLiteral("documentation comment of '%1' gives its page no text ('\\brief' and "
                           "'\\ingroup' are not shown there), so no page is written, yet %2 "
                           "link%3 to it; add a description line")
                .arg(entity.name,
                     doc.contentsWanted
                         ? QLatin1String("the header's index page, contents.htm and genindex.htm")
                         : QLatin1String("the header's index page"),
                     doc.contentsWanted ? QLatin1String("") : QLatin1String("s")),
            "empty-page");
        return;
    }
    if (diagnostics.claimPage(pageFile) == Diagnostics::ClaimedByEarlierInput)
        diagnostics.warn(doc.inputPath, entity.declarationLine + 1,
                         QStringLiteral("an earlier input already wrote the page of '%1'; this "
                                        "page replaces it")
                             .arg(entity.name),
                         "duplicate-page");
}

template <typename Entity>
void documentAll(DocGen &doc, const QList<Entity *> &entities, const WordSet &excluded) {
    const bool warnings = diagnostics().enabled();
    for (const Entity *entity : entities) {
        if (excluded.contains(entity->name))
            continue;
        if (!getsPage(*entity)) {
            if (warnings && diagnostics().reportsUndocumented())
                checkUndocumented(doc, *entity);
            continue;
        }
        const QString &name = entity->name;
        if (doc.contentsWanted)
            doc.contentsLines.append(QLatin1String("<content url=\"") + name +
                                     QLatin1String(".htm\" />"));
        switchBlock(doc, BlockNone);
        doc.startPage(doc.outputDirectory + QLatin1Char('/') + name + QLatin1String(".htm"), true);
        if (doc.modernPages)
            doc.modern->declarationStarted();
        doc.setTitle(name);
        documentEntity(doc, *entity);
        if (warnings)
            checkPage(doc, *entity, doc.pageFileName());
    }
}

// The lines in the order of their code units, joined by line ends. The lines of a
// header's contents mostly share a long start ("<content url=\""): it is compared once
// here, not again in each of the comparisons of the sort.
QString sortedLines(const QStringList &lines) {
    if (lines.isEmpty())
        return QString();
    std::vector<std::u16string_view> views;
    views.reserve(size_t(lines.size()));
    const std::u16string_view first(reinterpret_cast<const char16_t *>(lines.first().constData()),
                                    size_t(lines.first().size()));
    size_t common = first.size();
    qsizetype size = lines.size() - 1;
    for (const QString &line : lines) {
        const std::u16string_view view(reinterpret_cast<const char16_t *>(line.constData()),
                                       size_t(line.size()));
        common = std::min(common, view.size());
        size_t same = 0;
        while (same < common && view[same] == first[same])
            ++same;
        common = same;
        views.push_back(view);
        size += line.size();
    }
    std::sort(views.begin(), views.end(), [common](std::u16string_view a, std::u16string_view b) {
        return a.substr(common) < b.substr(common);
    });
    QString joined;
    joined.reserve(size);
    for (const std::u16string_view &view : views) {
        if (&view != views.data())
            joined += u'\n';
        joined += QStringView(view.data(), qsizetype(view.size()));
    }
    return joined;
}

void writeIndexPage(DocGen &doc, const QString &inputPath, const QString &overview) {
    const QFileInfo info(inputPath);
    const QString base = info.baseName();
    const QString fileName = info.fileName();

    QString source = overview;
    if (!source.isEmpty())
        source += QLatin1Char('\n');
    source += QLatin1String("\\section API Summary\n");
    // The overview runs first: its "\grouporder" decides the order of the table.
    QString body = interpretMarkup(doc, source);
    doc.endWordsBlock();
    appendSummaryTable(body, doc.wordsWanted ? &doc.pageWords : nullptr, doc.codeLinks({}));
    doc.pageBody.clear();
    PageWords words = std::exchange(doc.pageWords, {});
    doc.clearWords();
    if (!doc.pages)
        return;
    const QString indexFile =
        doc.outputDirectory + QLatin1Char('/') + base + QLatin1String("_h.htm");
    if (doc.modernPages) {
        OutputPage page{indexFile, fileName, std::move(body), true, std::move(words)};
        doc.modern->fillIndexPage(page);
        doc.pages->append(std::move(page));
        doc.modern->finishHeader(doc);
    } else {
        doc.pages->append(OutputPage{
            indexFile, fileName,
            pageTemplate(QLatin1Char('<') + fileName + QLatin1Char('>'), body, QString()), false,
            std::move(words)});
    }

    if (!doc.contentsWanted)
        return;
    doc.pages->append(OutputPage{
        doc.outputDirectory + QLatin1Char('/') + base + QLatin1String(".xml"), QString(),
        QLatin1String("<contents>\n<content url=\"") + base + QLatin1String("_h.htm\">\n") +
            sortedLines(doc.contentsLines) + QLatin1String("\n</content>\n</contents>")});
}

} // namespace

namespace {

// What a first look at a comment tells: whether each of its inner lines has its star,
// how many backslashes it holds (each may be a "\code" that grows by its language),
// whether it names itself ("\this"), holds a NUL, which the interpreter stops at, a
// code sample or the command for the synopsis. None of these is made or broken by the
// stripping and normalising, which touch no command but give "\code" a language.
struct CommentSurvey {
    bool starred = true;
    qsizetype backslashes = 0;
    bool namesItself = false;
    CommentFacts facts{false};
};

CommentSurvey survey(QStringView text) {
    CommentSurvey found;
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    const char16_t *line = nullptr; // the line being read, once past the first
    for (const char16_t *at = begin; (at = findAnyOf<u'\\', u'\n', u'\0'>(at, end)) != end; ++at) {
        if (*at == u'\\') {
            ++found.backslashes;
            const QStringView command = text.mid(at - begin + 1);
            found.namesItself = found.namesItself || startsWithText(command, "this");
        } else if (*at == u'\n') {
            // A line after the first that a line end follows is an inner line; the last
            // line needs no star.
            if (line && starPosition(QStringView(line, at)) < 0)
                found.starred = false;
            line = at + 1;
        } else {
            found.facts.hasNul = true;
        }
    }
    return found;
}

// The comment with its stars taken off when every inner line has one (a star and what
// stands before it give way to one space, and a line with nothing after its star is
// left empty), a bare "\code" given the C language, and the indentation that the
// first line of a sample sets taken off every line of the sample. One pass, written
// through a pointer into room for the whole: no line grows but by a language.
QString strippedAndNormalised(QStringView text, const CommentSurvey &found) {
    enum { Outside, FirstLine, Inside } state = Outside;
    qsizetype indent = 0;
    static const QLatin1String code("\\code");
    static const QLatin1String endCode("\\endcode");
    static const QLatin1String language("{c}");
    QString out(text.size() + found.backslashes * language.size(), Qt::Uninitialized);
    QChar *const outBegin = out.data();
    QChar *o = outBegin;
    const char16_t *const end = text.utf16() + text.size();
    for (const char16_t *lineStart = text.utf16();;) {
        const char16_t *const lineEnd = findEither(lineStart, end, u'\n', u'\n');
        QStringView line(lineStart, lineEnd);
        bool space = false; // the line starts with the space that stands for its star
        if (found.starred) {
            const qsizetype star = starPosition(line);
            if (star >= 0) {
                line = line.mid(star + 1);
                space = !line.trimmed().isEmpty();
                if (!space)
                    line = QStringView();
            }
        }
        if (lineStart != text.utf16() && state != Outside) {
            // The spaces that start the line, its star's space first: the first line of a
            // sample sets how many its lines lose.
            const qsizetype prefix = space ? 1 : 0;
            const qsizetype length = prefix + line.size();
            qsizetype spaces = 0;
            while (spaces < length && (spaces < prefix || line[spaces - prefix] == u' ') &&
                   (state == FirstLine || spaces < indent))
                ++spaces;
            if (state == FirstLine) {
                indent = spaces;
                state = Inside;
            }
            if (spaces > 0 && space) {
                space = false;
                line = line.mid(spaces - 1);
            } else {
                line = line.mid(spaces);
            }
        }
        if (space)
            *o++ = QLatin1Char(' ');
        for (qsizetype i = 0; i < line.size();) {
            const QStringView rest = line.mid(i);
            if (rest[0] == u'\\' && startsWithText(rest, "\\endcode")) {
                o = copyTo(o, endCode);
                i += endCode.size();
                state = Outside;
            } else if (rest[0] == u'\\' && startsWithText(rest, "\\code")) {
                o = copyTo(o, code);
                i += code.size();
                if (i >= line.size() || line[i] != u'{')
                    o = copyTo(o, language);
                state = FirstLine;
            } else {
                // Text up to the next command is copied in one piece.
                const qsizetype runEnd =
                    findEither(rest.utf16() + 1, lineEnd, u'\\', u'\\') - line.utf16();
                o = copyTo(o, line.mid(i, runEnd - i));
                i = runEnd;
            }
        }
        if (lineEnd == end)
            break;
        *o++ = QLatin1Char('\n');
        lineStart = lineEnd + 1;
    }
    out.truncate(o - outBegin);
    return out;
}

} // namespace

QString declarationText(const SourceBrowserObject &entity) {
    QString text = entity.synopsis(SynopsisReferencePage);
    if (entity.kind != KindMacro)
        text += QLatin1Char(';');
    return text;
}

QString prepareComment(const QString &comment, const QString &name, CommentFacts *facts) {
    // One look at the comment first, for what its copy needs to know; most comments
    // never name themselves, so the replace() below is seldom made.
    const CommentSurvey found = survey(comment);
    QString text = strippedAndNormalised(comment, found);
    if (!found.namesItself) {
        if (facts)
            *facts = found.facts;
        return text;
    }
    // The name put in may make what the first look did not see.
    text.replace(QLatin1String("\\this"), name);
    if (facts)
        *facts = {text.contains(QChar(0))};
    return text;
}

void documentEntity(DocGen &doc, const SourceBrowserObject &entity) {
    if (diagnostics().enabled()) {
        // The prepared comment keeps the comment's lines, so its line n is n lines
        // below the comment's start.
        doc.origins.start(doc.inputPath, entity.commentLine);
    }
    CommentFacts facts;
    const QString comment = prepareComment(entity.comment, entity.name, &facts);
    interpretMarkup(doc, comment, &entity, facts.hasNul ? NulInText::Possible : NulInText::None);
}

void documentHeader(DocGen &doc, const QString &inputPath, const QStringList &excludedNames) {
    // A header the caller parsed is read in place and handed back with its model once
    // its pages are made; one parsed here is freed here.
    if (!doc.parsedHeader || doc.parsedHeader->path != inputPath)
        doc.parsedHeader =
            std::make_unique<ParsedHeader>(parseHeader(inputPath, diagnostics().enabled()));
    ParsedHeader &parsed = *doc.parsedHeader;
    if (parsed.opened)
        recordFileRead(inputPath);
    recordReadFailure(inputPath, parsed.readError);
    doc.sourceRoot = std::move(parsed.root);
    LineOrigins overviewOrigins; // kept while the declarations' comments are read
    if (diagnostics().enabled()) {
        // Parse errors: whatever the parser recognised is documented all the same.
        for (const ParsedHeader::Message &message : std::as_const(parsed.parserMessages)) {
            QString text = message.text;
            if (!text.isEmpty())
                text[0] = text[0].toLower();
            diagnostics().warn(message.fileName, message.line,
                               text + QLatin1String("; the declaration is skipped"),
                               "malformed-declaration");
        }
        // The overview's warnings point into the comments it was gathered from.
        for (const auto &[textLine, line] : std::as_const(parsed.overviewOrigins))
            overviewOrigins.map(textLine, inputPath, line);
        for (const int line : std::as_const(parsed.unattachedComments))
            diagnostics().warn(inputPath, line,
                               QStringLiteral("documentation comment documents no "
                                              "declaration; it is not shown"),
                               "orphan-comment");
    }

    doc.pageBody.clear();
    doc.clearWords();
    const WordSet excluded(excludedNames);
    if (doc.modernPages) {
        // The pages' order is known before the first is made: each links to its next.
        std::vector<QString> names;
        forEachDeclarationList(*doc.sourceRoot, [&names, &excluded](const auto &entities) {
            for (const auto *entity : entities)
                if (!excluded.contains(entity->name) && getsPage(*entity))
                    names.push_back(entity->name);
        });
        const QFileInfo info(inputPath);
        doc.modern->startHeader(std::move(names), doc.outputDirectory,
                                doc.outputDirectory + QLatin1Char('/') + info.baseName() +
                                    QLatin1String("_h.htm"),
                                info.fileName());
    }
    forEachDeclarationList(*doc.sourceRoot, [&doc, &excluded](const auto &entities) {
        documentAll(doc, entities, excluded);
    });
    doc.flushPage();
    doc.origins = std::move(overviewOrigins);
    if (doc.mode == ModePages)
        writeIndexPage(doc, inputPath, parsed.overview);
    parsed.root = std::move(doc.sourceRoot);
}
