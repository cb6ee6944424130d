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
#include "docgen/pagetemplate.h"
#include "docgen/preparedahead.h"
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

// Copies the comment, giving a bare "\code" the C language and taking off the
// indentation that the first line of a sample sets from every line of the sample.
// hasNul tells whether the comment holds a NUL, which the interpreter stops at: found
// in the same search as the backslashes, it saves the interpreter a search of its own.
QString normaliseCodeBlocks(const QString &text, bool &hasNul) {
    enum { Outside, FirstLine, Inside } state = Outside;
    qsizetype indent = 0;
    static const QLatin1String code("\\code");
    static const QLatin1String endCode("\\endcode");
    static const QLatin1String language("{c}");
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    // Only a bare "\code" grows the text, by the three characters of its language: with
    // room for that after every backslash, the copy is written through a pointer.
    qsizetype backslashes = 0;
    hasNul = false;
    for (const char16_t *at = begin;
         (at = findEither(at, begin + size, u'\\', u'\0')) != begin + size; ++at) {
        if (*at == u'\\')
            ++backslashes;
        else
            hasNul = true;
    }
    QString out(size + backslashes * language.size(), Qt::Uninitialized);
    QChar *const outBegin = out.data();
    QChar *o = outBegin;
    const QStringView all(text);
    for (qsizetype i = 0; i < size;) {
        const QChar c = all[i];
        if (c == u'\\' && startsWithText(all.mid(i), "\\endcode")) {
            o = copyTo(o, endCode);
            i += endCode.size();
            state = Outside;
        } else if (c == u'\\' && startsWithText(all.mid(i), "\\code")) {
            o = copyTo(o, code);
            i += code.size();
            if (i >= size || all[i] != u'{')
                o = copyTo(o, language);
            state = FirstLine;
        } else if (c == u'\n') {
            *o++ = c;
            ++i;
            qsizetype spaces = 0;
            while (i + spaces < size && all[i + spaces] == u' ' &&
                   (state == FirstLine || spaces < indent))
                ++spaces;
            if (state == FirstLine) {
                indent = spaces;
                state = Inside;
                i += spaces;
            } else if (state == Inside) {
                i += spaces;
            }
        } else {
            // Ordinary text up to the next command or line end is copied in one piece.
            const qsizetype end = findEither(begin + i + 1, begin + size, u'\\', u'\n') - begin;
            o = copyTo(o, all.mid(i, end - i));
            i = end;
        }
    }
    out.truncate(o - outBegin);
    return out;
}

// What a declaration's page may get wrong before its comment is read: a page of the
// same name from an earlier input of the run, or (on request) no comment at all.
void checkDeclaration(const DocGen &doc, const SourceBrowserObject &entity,
                      const QString &pageFile) {
    Diagnostics &diagnostics = ::diagnostics();
    const int line = entity.declarationLine + 1;
    if (!getsPage(entity)) {
        if (diagnostics.reportsUndocumented())
            diagnostics.warn(doc.inputPath, line,
                             QStringLiteral("'%1' has no documentation comment; it gets no page")
                                 .arg(entity.name),
                             "undocumented");
        return;
    }
    if (diagnostics.claimPage(pageFile) == Diagnostics::ClaimedByEarlierInput)
        diagnostics.warn(doc.inputPath, line,
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
        if (warnings)
            checkDeclaration(doc, *entity,
                             doc.outputDirectory + QLatin1Char('/') + entity->name +
                                 QLatin1String(".htm"));
        if (!getsPage(*entity))
            continue;
        const QString &name = entity->name;
        if (doc.contentsWanted)
            doc.contentsLines.append(QLatin1String("<content url=\"") + name +
                                     QLatin1String(".htm\" />"));
        switchBlock(doc, BlockNone);
        doc.startPage(doc.outputDirectory + QLatin1Char('/') + name + QLatin1String(".htm"), true);
        doc.setTitle(name);
        documentEntity(doc, *entity);
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
    appendSummaryTable(body);
    doc.pageBody.clear();
    if (!doc.pages)
        return;
    doc.pages->append(OutputPage{
        doc.outputDirectory + QLatin1Char('/') + base + QLatin1String("_h.htm"), fileName,
        pageTemplate(QLatin1Char('<') + fileName + QLatin1Char('>'), body, QString())});

    if (!doc.contentsWanted)
        return;
    doc.pages->append(OutputPage{
        doc.outputDirectory + QLatin1Char('/') + base + QLatin1String(".xml"), QString(),
        QLatin1String("<contents>\n<content url=\"") + base + QLatin1String("_h.htm\">\n") +
            sortedLines(doc.contentsLines) + QLatin1String("\n</content>\n</contents>")});
}

} // namespace

QString stripCommentStars(const QString &text) {
    // One pass to check that every inner line has its star, one to copy: no list of
    // lines is built for what is usually a short comment.
    const QStringView all(text);
    // Where the line from `from` ends, or -1 for the last line. Lines are short: an
    // inline search costs less than a call.
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const textEnd = begin + text.size();
    const auto lineEnd = [&](qsizetype from) {
        const char16_t *const at = findEither(begin + from, textEnd, u'\n', u'\n');
        return at == textEnd ? qsizetype(-1) : at - begin;
    };
    qsizetype lineStart = lineEnd(0);
    if (lineStart < 0)
        lineStart = all.size();
    while (lineStart < all.size()) {
        const qsizetype from = lineStart + 1;
        const qsizetype end = lineEnd(from);
        if (end < 0)
            break; // the last line needs no star
        if (starPosition(all.mid(from, end - from)) < 0)
            return text;
        lineStart = end;
    }
    // No line grows: a star and what stands before it give way to one space. The copy
    // is written through a pointer into room for the whole text.
    QString out(text.size(), Qt::Uninitialized);
    QChar *const outBegin = out.data();
    QChar *o = outBegin;
    qsizetype from = 0;
    for (;;) {
        qsizetype end = lineEnd(from);
        const bool last = end < 0;
        if (last)
            end = all.size();
        const QStringView line = all.mid(from, end - from);
        const qsizetype star = starPosition(line);
        if (star < 0) {
            o = copyTo(o, line);
        } else if (!line.mid(star + 1).trimmed().isEmpty()) {
            *o++ = QLatin1Char(' ');
            o = copyTo(o, line.mid(star + 1));
        }
        if (last)
            break;
        *o++ = QLatin1Char('\n');
        from = end + 1;
    }
    out.truncate(o - outBegin);
    return out;
}

namespace {

bool namesItself(QStringView text) {
    static const QLatin1String self("this");
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text.data());
    const char16_t *const end = begin + text.size();
    for (const char16_t *at = begin; (at = findEither(at, end, u'\\', u'\\')) != end; ++at) {
        if (text.mid(at - begin + 1, self.size()) == self)
            return true;
    }
    return false;
}

} // namespace

QString declarationText(const SourceBrowserObject &entity) {
    QString text = entity.synopsis(SynopsisReferencePage);
    if (entity.kind != KindMacro)
        text += QLatin1Char(';');
    return text;
}

QString prepareComment(const QString &comment, const QString &name, bool *hasNul) {
    bool nul;
    QString text = normaliseCodeBlocks(stripCommentStars(comment), nul);
    // Most comments never name themselves, and a comment is mostly commands: looking
    // only at backslashes costs less than a general search, let alone a replace().
    if (namesItself(text)) {
        text.replace(QLatin1String("\\this"), name);
        nul = nul || name.contains(QChar(0));
    }
    if (hasNul)
        *hasNul = nul;
    return text;
}

void documentEntity(DocGen &doc, const SourceBrowserObject &entity) {
    if (diagnostics().enabled()) {
        // The prepared comment keeps the comment's lines, so its line n is n lines
        // below the comment's start.
        doc.origins.start(doc.inputPath, entity.commentLine);
    }
    PreparedDeclaration made;
    if (doc.preparedAhead && doc.preparedAhead->take(entity, made)) {
        if (made.hasSynopsis)
            doc.synopses.insert(&entity, std::move(made.synopsis));
        interpretMarkup(doc, made.comment, &entity,
                        made.hasNul ? NulInText::Possible : NulInText::None, &made.samples);
        return;
    }
    interpretMarkup(doc, prepareComment(entity.comment, entity.name), &entity);
}

void documentHeader(DocGen &doc, const QString &inputPath, const QStringList &excludedNames) {
    const bool parsedAhead = doc.parsedHeader && doc.parsedHeader->path == inputPath;
    ParsedHeader parsed = parsedAhead ? std::move(*doc.parsedHeader)
                                      : parseHeader(inputPath, diagnostics().enabled());
    doc.parsedHeader.reset();
    if (parsed.opened)
        recordFileRead(inputPath);
    doc.sourceRoot = std::move(parsed.root);
    // Its declarations are prepared on a thread of their own while its pages are made.
    doc.preparedAhead = PreparedAhead::start(parsed.documented);
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
    const WordSet excluded(excludedNames);
    forEachDeclarationList(*doc.sourceRoot, [&doc, &excluded](const auto &entities) {
        documentAll(doc, entities, excluded);
    });
    doc.preparedAhead.reset(); // it reads the model, which goes below
    doc.flushPage();
    doc.origins = std::move(overviewOrigins);
    if (doc.mode == ModePages)
        writeIndexPage(doc, inputPath, parsed.overview);
    if (doc.disposal) {
        doc.disposal->dispose(
            std::make_pair(std::move(doc.sourceRoot), std::exchange(doc.synopses, {})));
    } else {
        doc.synopses.clear();
        doc.sourceRoot.reset();
    }
}
