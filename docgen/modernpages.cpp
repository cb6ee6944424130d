#include "docgen/modernpages.h"

#include "colouring/htmlescape.h"
#include "common/findeither.h"
#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/programtables.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

// Appends text escaped for HTML. The titles, names and paths of the navigation seldom
// hold a character to escape: those are appended as they stand, in one piece.
void appendEscaped(QString &out, QStringView text) {
    const char16_t *const end = text.utf16() + text.size();
    if (findAnyOf<u'&', u'>', u'<', u'"', u'\'', u'\u00b7'>(text.utf16(), end) == end)
        out += text;
    else
        appendEscapedXml(out, text);
}

// The value of name="..." in a contents line, or an empty view.
QStringView attribute(QStringView line, QLatin1String name) {
    const qsizetype at = line.indexOf(name);
    if (at < 0 || !line.mid(at + name.size()).startsWith(QLatin1String("=\"")))
        return QStringView();
    const qsizetype value = at + name.size() + 2;
    const qsizetype close = line.indexOf(u'"', value);
    return close < 0 ? QStringView() : line.mid(value, close - value);
}

// The folder part of a page's file name, with its final '/', or empty.
QStringView folderOf(const QString &file) {
    return QStringView(file).left(file.lastIndexOf(u'/') + 1);
}

// The path of to as a link from the page from: the file's own name when both are in
// one folder, as almost all are.
QStringView href(const QString &from, const QString &to, QString &room) {
    const QStringView folder = folderOf(from);
    if (to.startsWith(folder) && to.indexOf(u'/', folder.size()) < 0)
        return QStringView(to).mid(folder.size());
    room = QDir(QFileInfo(from).absolutePath()).relativeFilePath(QFileInfo(to).absoluteFilePath());
    return room;
}

QString href(const QString &from, const QString &to) {
    QString room;
    return href(from, to, room).toString();
}

// Appends the link from the page from to to, escaped for an attribute.
void appendHref(QString &out, const QString &from, const QString &to) {
    QString room;
    appendEscaped(out, href(from, to, room));
}

void appendLink(QString &out, const QString &from, const ModernPages::Crumb &to) {
    out += QLatin1String("<a href=\"");
    appendHref(out, from, to.file);
    out += QLatin1String("\">");
    appendEscaped(out, to.title);
    out += QLatin1String("</a>");
}

// Where the heading that a page's text starts with ends (the text's own title, written
// with \h1), or 0 when it starts with none: the page's lead then starts with its title.
qsizetype headingEnd(const QString &text) {
    static const QLatin1String close("</h1>");
    if (!text.startsWith(QLatin1String("<h1>")))
        return 0;
    const qsizetype end = text.indexOf(close);
    return end < 0 ? 0 : end + close.size();
}

void appendHeading(QString &out, const QString &title) {
    out += QLatin1String("<h1>");
    appendEscaped(out, title);
    out += QLatin1String("</h1>\n");
}

// With warnings on, has the end of the run check that a page that the navigation of
// the page from links to was written: a contents line may name any file, and a
// declaration's page is not written when its comment gives it no text.
void expectPage(const DocGen &doc, const QString &from, const ModernPages::Crumb &to) {
    diagnostics().expectFile(doc.inputPath, 0, to.file, href(from, to.file), "link target",
                             "broken-link",
                             QStringLiteral("the navigation of %1 links to it").arg(from));
}

// Appends text as a JavaScript string literal: ASCII only, so the script reads alike
// in any encoding.
void appendJsString(QString &out, QStringView text) {
    out += u'"';
    qsizetype run = 0; // the start of the characters not yet appended, which need no escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u != u'"' && u != u'\\' && u >= 0x20 && u <= 0x7e)
            continue;
        out += text.mid(run, i - run);
        run = i + 1;
        if (u == u'"' || u == u'\\') {
            out += u'\\';
            out += QChar(u);
        } else {
            out += QLatin1String("\\u") + QString::number(u, 16).rightJustified(4, u'0');
        }
    }
    out += text.mid(run);
    out += u'"';
}

// Starts an entry of the contents script: its title (HTML) and file.
void openJsEntry(QString &out, bool first, QStringView titleHtml, QStringView file) {
    if (!first)
        out += u',';
    out += u'[';
    appendJsString(out, titleHtml);
    out += u',';
    appendJsString(out, file);
}

} // namespace

void ModernPages::manualPageStarted(const DocGen &doc) {
    const QStringList &lines = doc.contentsLines;
    for (; linesRead_ < lines.size(); ++linesRead_) {
        const QStringView line = QStringView(lines[linesRead_]).trimmed();
        if (line.startsWith(QLatin1String("</content"))) {
            if (!open_.empty())
                open_.pop_back();
        } else if (line.startsWith(QLatin1String("<content ")) && !line.endsWith(u'/')) {
            const QStringView url = attribute(line, QLatin1String("url"));
            if (url.isEmpty()) {
                open_.push_back(
                    Crumb{QString(), attribute(line, QLatin1String("title")).toString()});
                continue;
            }
            // A page of the manual: named as its file is, titled as its \title says.
            QStringView name = url;
            if (name.endsWith(QLatin1String(".htm")))
                name.chop(4);
            const auto title = doc.splitTitles.find(name.toString());
            const QString file = doc.manualOutput.isEmpty() || url.startsWith(u'/')
                                     ? url.toString()
                                     : doc.manualOutput + u'/' + url;
            open_.push_back(Crumb{file, title != doc.splitTitles.end() && !title->second.isEmpty()
                                            ? title->second
                                            : name.toString()});
        }
    }
    // The page's own element is the last one open; the ones before are its chapters.
    pageTrail_.assign(open_.begin(), open_.empty() ? open_.end() : open_.end() - 1);
}

void ModernPages::addManualPage(DocGen &doc, OutputPage &&page) {
    const Crumb crumb{page.fileName, page.title.isEmpty() ? page.fileName : page.title};
    if (!page.title.isEmpty())
        pageTitles_.insert(page.fileName, page.title);
    if (manualRoot_.file.isEmpty())
        manualRoot_ = crumb;
    std::vector<Crumb> trail;
    if (crumb.file != manualRoot_.file)
        trail.push_back(manualRoot_);
    const bool warnings = diagnostics().enabled();
    for (const Crumb &step : pageTrail_) {
        if (!step.file.isEmpty() && (step.file == manualRoot_.file || step.file == crumb.file))
            continue;
        trail.push_back(step);
        if (warnings && !step.file.isEmpty())
            expectPage(doc, page.fileName, step);
    }
    page.modern = true;
    openNavigation(page.navigation, page.fileName, trail.data(), trail.size(), crumb.title,
                   held_ ? &heldCrumb_ : nullptr);
    // Classic pages show a manual page's title in the window's title alone; the text
    // may start with a heading of its own.
    if (!page.title.isEmpty() && headingEnd(page.text) == 0)
        appendHeading(page.lead, page.title);
    if (held_) {
        appendPagerLink(held_->navigation, held_->fileName, crumb, true);
        closePager(held_->navigation, held_->fileName);
        doc.pages->append(std::move(*held_));
    }
    held_ = std::move(page);
    heldCrumb_ = crumb;
}

void ModernPages::finishManual(DocGen &doc) {
    if (held_) {
        closePager(held_->navigation, held_->fileName);
        if (doc.pages)
            doc.pages->append(std::move(*held_));
        held_.reset();
    }
    if (scriptFile_.isEmpty() || manualRoot_.file.isEmpty())
        return;
    // The contents lines as entries: an element that holds others gets their list.
    QString tree;
    std::vector<bool> empty{true}; // per open level: no entry in it yet
    for (const QString &whole : doc.contentsLines) {
        const QStringView line = QStringView(whole).trimmed();
        if (line.startsWith(QLatin1String("</content"))) {
            if (empty.size() > 1) {
                empty.pop_back();
                tree += QLatin1String("]]");
            }
            continue;
        }
        if (!line.startsWith(QLatin1String("<content ")))
            continue;
        const QStringView url = attribute(line, QLatin1String("url"));
        QString title;
        if (url.isEmpty()) {
            title = attribute(line, QLatin1String("title")).toString();
        } else {
            QStringView name = url;
            if (name.endsWith(QLatin1String(".htm")))
                name.chop(4);
            // A title given by \title on the page itself is the page's, not its split's.
            const auto found = doc.splitTitles.find(name.toString());
            const auto made = pageTitles_.constFind(
                doc.manualOutput.isEmpty() ? url.toString() : doc.manualOutput + u'/' + url);
            appendEscaped(title, found != doc.splitTitles.end() && !found->second.isEmpty()
                                     ? QStringView(found->second)
                                 : made != pageTitles_.constEnd() ? QStringView(*made)
                                                                  : name);
        }
        openJsEntry(tree, empty.back(), title, url);
        empty.back() = false;
        if (line.endsWith(u'/')) {
            tree += u']';
        } else {
            tree += QLatin1String(",[");
            empty.push_back(true);
        }
    }
    for (; empty.size() > 1; empty.pop_back())
        tree += QLatin1String("]]");
    addContentsScript(doc, tree);
}

void ModernPages::startHeader(std::vector<QString> names, const QString &outputDirectory,
                              const QString &indexFile, const QString &header) {
    // The contents of a header list its declarations in the order of their pages'
    // names; a name declared twice has one page. The names are put in that order by
    // their places, so that each declaration's page finds its place as it comes.
    std::vector<std::u16string_view> views;
    views.reserve(names.size());
    for (const QString &name : names)
        views.emplace_back(reinterpret_cast<const char16_t *>(name.utf16()), size_t(name.size()));
    std::vector<size_t> byName(names.size());
    for (size_t i = 0; i < byName.size(); ++i)
        byName[i] = i;
    std::sort(byName.begin(), byName.end(),
              [&views](size_t a, size_t b) { return views[a] < views[b]; });
    headerOrder_.clear();
    headerOrder_.reserve(names.size() + 1);
    headerOrder_.push_back(Crumb{indexFile, header});
    places_.assign(names.size(), 0);
    for (size_t i = 0; i < byName.size(); ++i) {
        const size_t at = byName[i];
        if (i == 0 || views[at] != views[byName[i - 1]])
            headerOrder_.push_back(
                Crumb{outputDirectory + u'/' + names[at] + QLatin1String(".htm"), names[at]});
        places_[at] = headerOrder_.size() - 1;
    }
    declaration_ = size_t(-1);
}

void ModernPages::fillDeclarationPage(const DocGen &doc, OutputPage &page, const QString &name,
                                      const QString &brief, const QString &group) {
    if (declaration_ >= places_.size())
        return;
    const size_t at = places_[declaration_];
    const Crumb &index = headerOrder_.front();
    page.modern = true;
    openNavigation(page.navigation, page.fileName, &index, 1, name, &headerOrder_[at - 1]);
    if (at + 1 < headerOrder_.size())
        appendPagerLink(page.navigation, page.fileName, headerOrder_[at + 1], true);
    if (diagnostics().enabled()) {
        if (at > 1)
            expectPage(doc, page.fileName, headerOrder_[at - 1]);
        if (at + 1 < headerOrder_.size())
            expectPage(doc, page.fileName, headerOrder_[at + 1]);
    }
    closePager(page.navigation, page.fileName);

    QString &lead = page.lead;
    page.leadAt = headingEnd(page.text);
    if (page.leadAt == 0)
        appendHeading(lead, name);
    if (!brief.isEmpty()) {
        lead += QLatin1String("<p class=\"qg-brief\">");
        appendEscaped(lead, brief);
        lead += QLatin1String("</p>\n");
    }
    lead += QLatin1String("<p class=\"qg-origin\">Header: ");
    appendLink(lead, page.fileName, index);
    if (!group.isEmpty() && group != QLatin1String(unassignedGroup)) {
        lead += QLatin1String(" &middot; Group: ");
        appendEscaped(lead, group);
    }
    lead += QLatin1String("</p>\n");
}

void ModernPages::finishHeader(DocGen &doc) {
    if (scriptFile_.isEmpty())
        return;
    // The index page, with the declarations under it (their names need no escape for
    // HTML); the files are in the script's folder.
    QString tree;
    tree.reserve(qsizetype(headerOrder_.size()) * 48);
    QString room;
    const Crumb &index = headerOrder_.front();
    QString indexTitle;
    appendEscaped(indexTitle, index.title);
    openJsEntry(tree, true, indexTitle, href(scriptFile_, index.file, room));
    tree += QLatin1String(",[");
    for (size_t at = 1; at < headerOrder_.size(); ++at) {
        openJsEntry(tree, at == 1, headerOrder_[at].title,
                    href(scriptFile_, headerOrder_[at].file, room));
        tree += u']';
    }
    tree += QLatin1String("]]");
    addContentsScript(doc, tree);
}

void ModernPages::fillIndexPage(OutputPage &page) {
    const Crumb &index = headerOrder_.front();
    page.modern = true;
    openNavigation(page.navigation, page.fileName, nullptr, 0, index.title, nullptr);
    if (headerOrder_.size() > 1)
        appendPagerLink(page.navigation, page.fileName, headerOrder_[1], true);
    closePager(page.navigation, page.fileName);
    if (headingEnd(page.text) == 0)
        appendHeading(page.lead, index.title);
}

void ModernPages::openNavigation(QString &out, const QString &file, const Crumb *trail,
                                 size_t trailSize, const QString &title, const Crumb *previous) {
    out.reserve(768); // room for it all, most often
    out += QLatin1String("<header class=\"qg-header\">\n"
                         "<nav class=\"qg-breadcrumb\" aria-label=\"Breadcrumb\"><ol>");
    for (const Crumb *step = trail; step != trail + trailSize; ++step) {
        out += QLatin1String("<li>");
        if (step->file.isEmpty())
            out += step->title; // as the contents line has it, entities and all
        else
            appendLink(out, file, *step);
        out += QLatin1String("</li>");
    }
    out += QLatin1String("<li aria-current=\"page\">");
    appendEscaped(out, title);
    out += QLatin1String("</li></ol></nav>\n");
    if (!siteFolder.isEmpty()) {
        out += QLatin1String("<form class=\"qg-search\" action=\"");
        appendEscaped(out, searchHref(file));
        out += QLatin1String("\" method=\"get\" role=\"search\"><input type=\"search\" name=\"q\" "
                             "aria-label=\"Search\" placeholder=\"Search\"></form>\n");
    }
    out += QLatin1String("</header>\n<nav class=\"qg-pager\" aria-label=\"Pages\">");
    if (previous)
        appendPagerLink(out, file, *previous, false);
}

void ModernPages::appendPagerLink(QString &out, const QString &from, const Crumb &to, bool next) {
    out +=
        next ? QLatin1String("<a rel=\"next\" href=\"") : QLatin1String("<a rel=\"prev\" href=\"");
    appendHref(out, from, to.file);
    out += next ? QLatin1String("\">Next: ") : QLatin1String("\">Previous: ");
    appendEscaped(out, to.title);
    out += QLatin1String("</a>");
}

void ModernPages::closePager(QString &out, const QString &file) {
    out += QLatin1String("</nav>\n");
    if (scriptFile_.isEmpty())
        return;
    out += QLatin1String("<script src=\"");
    appendHref(out, file, scriptFile_);
    out += QLatin1String("\" data-page=\"");
    appendHref(out, scriptFile_, file);
    out += QLatin1String("\"></script>\n");
}

void ModernPages::startInput(const DocGen &doc) {
    scriptFile_.clear();
    pageTitles_.clear();
    if (sidebarScript.isEmpty())
        return;
    const QFileInfo input(doc.inputPath);
    const bool header = input.completeSuffix() == QLatin1String("h");
    const QString folder = header ? doc.outputDirectory : doc.manualOutput;
    scriptFile_ = input.baseName() +
                  (header ? QLatin1String("_h.contents.js") : QLatin1String("_dg.contents.js"));
    if (!folder.isEmpty())
        scriptFile_.prepend(folder + u'/');
}

void ModernPages::addContentsScript(DocGen &doc, const QString &tree) {
    if (scriptFile_.isEmpty() || !doc.pages)
        return;
    QString text = sidebarScript;
    text += QLatin1String("quillgenSidebar([");
    text += tree;
    text += QLatin1String("]);\n");
    doc.pages->append(OutputPage{scriptFile_, QString(), std::move(text)});
}

const QString &ModernPages::searchHref(const QString &file) {
    const QStringView folder = folderOf(file);
    if (searchHref_.isEmpty() || folder != searchFolder_) {
        searchFolder_ = folder.toString();
        searchHref_ = QDir(QFileInfo(file).absolutePath())
                          .relativeFilePath(siteFolder + QLatin1String("/search.htm"));
    }
    return searchHref_;
}
