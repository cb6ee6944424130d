#include "site/site.h"

#include "common/readertext.h"
#include "site/sitefiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <unordered_set>

namespace {

// A path as the value of an href: characters that a URL reserves are percent-encoded.
constexpr char hrefKept[] = "/-._~!$'()*+,;=:@";

QString href(const QString &path) {
    const bool plain = std::all_of(path.begin(), path.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               (u < 128 && std::strchr(hrefKept, char(u)));
    });
    return plain ? path : QString::fromLatin1(QUrl::toPercentEncoding(path, hrefKept));
}

// The file-name form of a shard prefix; search.js forms the same.
QString shardStem(const QString &prefix) {
    QString stem = QStringLiteral("t");
    for (const QChar c : prefix) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_')
            stem += c;
        else
            stem += QStringLiteral("-%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
    }
    return stem;
}

// The files of search-index/ that the site writes: term shards and document chunks.
bool isIndexFile(const QString &name) {
    static const QRegularExpression shardName(QStringLiteral("^[td][0-9a-z_-]*\\.js$"));
    return shardName.match(name).hasMatch();
}

// The rules that the site's own pages add to the stylesheet's.
const char siteStyle[] = R"(<style>
.qg-site-nav { display: flex; gap: 1.25em; padding: 0.5em 0; border-bottom: 1px solid var(--rule, #d8dde3); margin-bottom: 1em; }
.qg-site-nav a[aria-current] { font-weight: bold; color: inherit; text-decoration: none; }
.qg-search-form { display: flex; flex-wrap: wrap; gap: 0.5em; align-items: center; }
.qg-search-form input { font: inherit; padding: 0.35em 0.5em; min-width: 18em; flex: 1; max-width: 36em; color: inherit; background: var(--page, #fff); border: 1px solid var(--muted, #59636e); border-radius: 4px; }
.qg-search-form button, .qg-more { font: inherit; padding: 0.35em 0.9em; color: inherit; background: var(--panel, #f3f5f7); border: 1px solid var(--muted, #59636e); border-radius: 4px; cursor: pointer; }
.qg-results { list-style: none; padding: 0; }
.qg-results li { margin: 0 0 1em; }
.qg-results a { font-weight: bold; }
.qg-results .qg-path { color: var(--muted, #59636e); font-size: 0.9em; }
.qg-results p { margin: 0.2em 0 0; }
.qg-results mark { background: var(--code-fixme-page, #fff0b3); color: inherit; }
.qg-letters { display: flex; flex-wrap: wrap; gap: 0.6em; padding: 0; list-style: none; }
.qg-index th { text-align: left; }
.qg-index td, .qg-index th { padding: 0.2em 0.8em 0.2em 0; vertical-align: top; }
.qg-kind { color: var(--muted, #59636e); }
</style>
)";

// The start of a site page, up to its heading; the body and pageEnd follow.
void putPageStart(TextOut &out, const char *title, const char *current) {
    static const struct {
        const char *file;
        const char *label;
    } links[] = {{"search.htm", "Search"}, {"contents.htm", "Contents"}, {"genindex.htm", "Index"}};
    out.put("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>");
    out.putCString(title);
    out.put("</title>\n<link rel=\"stylesheet\" href=\"default.css\">\n");
    out.put(siteStyle);
    out.put("</head>\n<body>\n<header>\n<nav class=\"qg-site-nav\" aria-label=\"Site\">\n");
    for (const auto &link : links) {
        out.put("<a href=\"");
        out.putCString(link.file);
        out.putCString(qstrcmp(link.file, current) == 0 ? "\" aria-current=\"page\">" : "\">");
        out.putCString(link.label);
        out.put("</a>\n");
    }
    out.put("</nav>\n</header>\n<main>\n<h1>");
    out.putCString(title);
    out.put("</h1>\n");
}

const char pageEnd[] = "</main>\n</body>\n</html>\n";

// The value of name="..." among the attributes of an element.
QStringView attribute(QStringView attributes, QLatin1String name) {
    for (qsizetype at = attributes.indexOf(name); at >= 0; at = attributes.indexOf(name, at + 1)) {
        const qsizetype value = at + name.size() + 2;
        if ((at == 0 || attributes[at - 1].isSpace()) &&
            attributes.mid(at + name.size()).startsWith(QLatin1String("=\""))) {
            const qsizetype close = attributes.indexOf(u'"', value);
            if (close >= 0)
                return attributes.mid(value, close - value);
        }
    }
    return QStringView();
}

// Markup as a reader sees it, white space simplified.
QString plain(QStringView markup) {
    QString text;
    readertext::State state;
    readertext::append(text, markup, state);
    return text.simplified();
}

// The first words of a brief and a text, white space collapsed, as an excerpt of at most
// Site::excerptLength characters that ends at a word, unless its first word is longer.
QString excerptOf(QStringView brief, QStringView text) {
    QString out;
    out.reserve(std::min(brief.size() + 1 + text.size(), qsizetype(Site::excerptLength) + 2));
    for (const QStringView part : {brief, text}) {
        for (qsizetype at = 0; at < part.size();) {
            if (part[at].isSpace()) {
                ++at;
                continue;
            }
            qsizetype end = at + 1;
            while (end < part.size() && !part[end].isSpace())
                ++end;
            const qsizetype room = Site::excerptLength - out.size() - (out.isEmpty() ? 0 : 1);
            if (end - at > room) {
                if (out.isEmpty())
                    out += part.mid(at, room);
                return out + QStringLiteral(" …");
            }
            if (!out.isEmpty())
                out += u' ';
            out += part.mid(at, end - at);
            at = end;
        }
    }
    return out;
}

bool hasWords(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
}

// A brief as the reader sees it: commands taken out, their braced arguments kept.
QString plainBrief(const QString &brief) {
    // Most briefs are plain text, white space simplified where they were read.
    if (std::none_of(brief.begin(), brief.end(),
                     [](QChar c) { return c == u'\\' || c == u'{' || c == u'}'; }))
        return brief;
    QString text;
    text.reserve(brief.size());
    for (qsizetype i = 0; i < brief.size(); ++i) {
        const QChar c = brief.at(i);
        if (c == u'\\' && i + 1 < brief.size() && brief.at(i + 1).isLetter()) {
            while (i + 1 < brief.size() && brief.at(i + 1).isLetter())
                ++i;
            while (i + 1 < brief.size() && brief.at(i + 1) == u' ')
                ++i;
        } else if (c != u'{' && c != u'}') {
            text += c;
        }
    }
    return text.simplified();
}

} // namespace

Site::Site(const QString &folder) : workingDirectory_(folder), workingFolder_(folder) {
    const QString current = QDir::currentPath();
    if (QDir::cleanPath(folder) != QDir::cleanPath(current))
        pageBase_ = current + u'/';
}

QString Site::relative(const QString &fileName) const {
    if (pageBase_.isEmpty() || fileName.startsWith(u'/'))
        return workingFolder_.relativeFilePath(fileName);
    return workingFolder_.relativeFilePath(pageBase_ + fileName);
}

QString Site::link(quint32 document) const {
    return href(documents_[document].path);
}

void Site::addPage(const QString &fileName, const QString &title, const PageWords &words,
                   const QString &input, bool manualPage) {
    const QString path = relative(fileName);
    const quint32 id = quint32(documents_.size());
    // A page written again replaces the earlier one: only the last is searched.
    const auto previous = documentAt_.constFind(path);
    if (previous != documentAt_.constEnd())
        documents_[*previous].alive = false;
    documentAt_.insert(path, id);
    // The excerpt is the page's prose, or its code when it has none, after the brief of
    // a declaration's page: the brief says best what the page is about, and weighs as
    // much as a heading.
    const QString brief = plainBrief(words.brief);
    TextOut excerpt;
    excerpt.putJson(excerptOf(brief, hasWords(words.prose) ? words.prose : words.code));
    documents_.push_back(Document{path, title, excerpt.bytes(), true});
    documents_.back().excerpt.squeeze(); // one is kept for every page of the run
    index_.beginDocument(id);
    index_.addText(title, SearchIndex::Title);
    index_.addText(brief, SearchIndex::Heading);
    index_.addText(words.headings, SearchIndex::Heading);
    index_.addText(words.prose, SearchIndex::Body);
    index_.addText(words.code, SearchIndex::Body);
    index_.endDocument();
    if (manualPage && !title.trimmed().isEmpty())
        entries_.push_back(IndexEntry{title.simplified(), QStringLiteral("page"), link(id),
                                      QFileInfo(input).fileName(), QString(), QString()});
}

void Site::addDeclaration(const Declaration &d) {
    const QString page = relative(d.pageFile.toString());
    const QString where = d.headerPage.isEmpty() ? QString() : href(relative(d.headerPage));
    entries_.push_back(
        IndexEntry{d.name, d.kind, href(page), d.header, where, plainBrief(d.brief)});
}

void Site::addContents(const QString &text, const QString &baseDirectory) {
    // Whether each open item has opened its list of children yet.
    std::vector<bool> open;
    static const QRegularExpression element(QStringLiteral("<(/?)content([\\s/][^>]*)?>"));
    for (auto match = element.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        if (!m.captured(1).isEmpty()) {
            if (open.empty())
                continue;
            contents_.putCString(open.back() ? "</ul>\n</li>\n" : "</li>\n");
            open.pop_back();
            continue;
        }
        const QStringView attributes = m.capturedView(2);
        if (!open.empty() && !open.back()) {
            contents_.put("\n<ul>\n");
            open.back() = true;
        }
        contents_.put("<li>");
        const QStringView url = attribute(attributes, QLatin1String("url"));
        QString label = plain(attribute(attributes, QLatin1String("title")));
        if (!url.isEmpty()) {
            QString path =
                relative(baseDirectory.isEmpty() ? url.toString() : baseDirectory + u'/' + url);
            auto document = documentAt_.constFind(path);
            // A split name that ends in ".htm" keeps it, without a second one.
            if (document == documentAt_.constEnd() && path.endsWith(QLatin1String(".htm.htm"))) {
                path.chop(4);
                document = documentAt_.constFind(path);
            }
            if (document != documentAt_.constEnd() && !documents_[*document].title.isEmpty())
                label = documents_[*document].title.simplified();
            if (label.isEmpty())
                label = path;
            contents_.put("<a href=\"");
            contents_.putEscaped(href(path));
            contents_.put("\">");
            contents_.putEscaped(label);
            contents_.put("</a>");
        } else {
            contents_.putEscaped(label);
        }
        if (attributes.trimmed().endsWith(u'/'))
            contents_.put("</li>\n");
        else
            open.push_back(false);
    }
    for (; !open.empty(); open.pop_back())
        contents_.putCString(open.back() ? "</ul>\n</li>\n" : "</li>\n");
}

QByteArray Site::write(const QString &stylesheet) {
    SiteFiles files;
    const QByteArray error = formSearch(files);
    if (!error.isEmpty())
        return error;
    files.contents = formContents();
    files.index = formIndex();
    return install(files, stylesheet);
}

QByteArray Site::copyStylesheet(const QString &stylesheet) {
    // Every folder that holds pages, the working directory with the site's own first.
    QStringList folders{QStringLiteral(".")};
    for (const Document &document : documents_)
        if (document.alive)
            folders.append(QFileInfo(document.path).path());
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const QString &folder : std::as_const(folders)) {
        const QString target = workingFolder_.filePath(folder + QLatin1String("/default.css"));
        if (!QFileInfo::exists(target) && !QFile::copy(stylesheet, target))
            return "cannot copy the stylesheet to " + QFile::encodeName(target);
    }
    return QByteArray();
}

// The document table: folder, file and title (empty when it is the file's name without
// ".htm"), in chunks of documentsPerChunk. Each chunk ends with the excerpts of its pages,
// a JSON list compressed with zlib and written in base64: they are most of the table, and
// so take about half the room of their text, while browsers inflate them themselves
// (DecompressionStream).
void Site::formDocuments(SiteFiles &files, QStringList &folders, quint32 &count) const {
    QHash<QString, int> folderIds;
    TextOut chunk, excerpts;
    int chunks = 0;
    count = 0;
    const auto endChunk = [&] {
        excerpts.put(']');
        // qCompress puts the length before the zlib stream; the stream alone is read.
        // Level 3 makes them a tenth larger than the default level in a third of its time.
        const QByteArray packed = qCompress(excerpts.bytes(), 3).mid(4).toBase64();
        chunk.put("],\n\"");
        chunk.put(packed.constData(), packed.size());
        chunk.put("\");\n");
        files.shards.emplace_back(QStringLiteral("d%1.js").arg(chunks++), chunk.bytes());
        chunk.clear();
        excerpts.clear();
    };
    for (const Document &document : documents_) {
        if (!document.alive)
            continue;
        const qsizetype slash = document.path.lastIndexOf(u'/') + 1;
        const QString dir = document.path.left(slash);
        const QString file = document.path.mid(slash);
        if (!folderIds.contains(dir)) {
            folderIds.insert(dir, int(folders.size()));
            folders.append(dir);
        }
        const bool titled = file != document.title + QLatin1String(".htm");
        if (count % documentsPerChunk == 0) {
            chunk.put("quillgenDocuments(");
            chunk.putNumber(quint64(chunks));
            chunk.put(",[\n[");
            excerpts.put('[');
        } else {
            chunk.put(",\n[");
            excerpts.put(',');
        }
        chunk.putNumber(quint64(folderIds.value(dir)));
        chunk.put(',');
        chunk.putJs(href(file));
        chunk.put(',');
        chunk.putJs(titled ? QStringView(document.title) : QStringView());
        chunk.put(']');
        excerpts.put(document.excerpt.constData(), document.excerpt.size());
        if (++count % documentsPerChunk == 0)
            endChunk();
    }
    if (count % documentsPerChunk != 0)
        endChunk();
}

// The term shards; the manifest marks a prefix that was split and kept no terms with 0.
void Site::formShards(SiteFiles &files, TextOut &manifest) const {
    std::vector<bool> alive;
    for (const Document &document : documents_)
        alive.push_back(document.alive);
    const IndexShards index = index_.shards(alive, shardBytes);
    for (const IndexShards::Shard &shard : index.shards) {
        if (!manifest.isEmpty())
            manifest.put(',');
        manifest.putJs(shard.prefix);
        manifest.putCString(shard.from == shard.to ? ":0" : ":1");
        if (shard.from == shard.to)
            continue;
        TextOut text;
        text.put("quillgenShard(");
        text.putJs(shard.prefix);
        text.put(",[");
        for (size_t i = shard.from; i < shard.to; ++i) {
            const ShardTerm &term = index.terms[i];
            text.putCString(i == shard.from ? "\n[" : ",\n[");
            text.putJs(term.term);
            text.put(',');
            text.putNumber(term.documents);
            text.put(",\"");
            text.put(term.postings.data(), term.postings.size());
            text.put("\"]");
        }
        text.put("]);\n");
        files.shards.emplace_back(shardStem(shard.prefix) + QLatin1String(".js"), text.bytes());
    }
}

QByteArray Site::formSearch(SiteFiles &files) const {
    QStringList folders;
    quint32 count = 0;
    TextOut manifest;
    formDocuments(files, folders, count);
    formShards(files, manifest);
    QFile script(QStringLiteral(":/site/search.js"));
    if (!script.open(QIODevice::ReadOnly))
        return "the search script is missing from the program";
    TextOut page;
    putPageStart(page, "Search", "search.htm");
    page.put(
        "<form class=\"qg-search-form\" role=\"search\" action=\"search.htm\" method=\"get\">\n"
        "<label for=\"qg-query\">Words to find</label>\n"
        "<input type=\"search\" id=\"qg-query\" name=\"q\" autocomplete=\"off\" "
        "spellcheck=\"false\" aria-describedby=\"qg-help\" aria-controls=\"qg-results\">\n"
        "<button type=\"submit\">Search</button>\n"
        "</form>\n"
        "<p id=\"qg-help\" class=\"qg-kind\">Results appear as you type. Down and up arrows "
        "move through them; Escape returns to the field.</p>\n"
        "<p id=\"qg-status\" role=\"status\" aria-live=\"polite\"></p>\n"
        "<ol id=\"qg-results\" class=\"qg-results\"></ol>\n"
        "<p><button type=\"button\" id=\"qg-more\" class=\"qg-more\" hidden>More "
        "results</button></p>\n"
        "<noscript><p>The search needs JavaScript; the <a href=\"genindex.htm\">index</a> "
        "and the <a href=\"contents.htm\">contents</a> work without it.</p></noscript>\n"
        "<script>\nvar quillgenSite = {documents: ");
    page.putNumber(count);
    page.put(", chunk: ");
    page.putNumber(documentsPerChunk);
    page.put(", prefix: ");
    page.putNumber(SearchIndex::longestPrefix);
    page.put(", folders: [");
    for (qsizetype i = 0; i < folders.size(); ++i) {
        if (i > 0)
            page.put(',');
        page.putJs(href(folders[i]));
    }
    page.put("],\nshards: {");
    page.put(manifest);
    page.put("}};\n</script>\n<script>\n");
    const QByteArray scriptText = script.readAll();
    page.put(scriptText.constData(), scriptText.size());
    page.put("</script>\n");
    page.put(pageEnd);
    files.page = page.bytes();
    return QByteArray();
}

// Every file is written beside its place before any is put there, so that a site that
// cannot be written whole (a disk that fills) leaves the old one as it was. The search
// page goes when its folder changes, before the folder is exchanged, and comes back
// after: a run that stops on the way leaves the old search whole, or none, but never the
// old page over the new folder.
QByteArray Site::install(const SiteFiles &files, const QString &stylesheet) {
    PendingFile search(workingFolder_.filePath(QStringLiteral("search.htm")));
    PendingFile contents(workingFolder_.filePath(QStringLiteral("contents.htm")));
    PendingFile index(workingFolder_.filePath(QStringLiteral("genindex.htm")));
    FolderReplacement folder(workingFolder_.filePath(QStringLiteral("search-index")), isIndexFile);
    QByteArray error = search.write(files.page);
    for (const auto &[name, bytes] : files.shards)
        if (error.isEmpty())
            error = folder.add(name, bytes);
    if (error.isEmpty())
        error = contents.write(files.contents);
    if (error.isEmpty())
        error = index.write(files.index);
    if (error.isEmpty() && folder.changed() && search.changed())
        error = search.remove();
    for (PendingFile *file : {&contents, &index})
        if (error.isEmpty())
            error = file->install();
    if (error.isEmpty())
        error = folder.install();
    if (error.isEmpty())
        error = search.install();
    if (error.isEmpty() && !stylesheet.isEmpty())
        error = copyStylesheet(stylesheet);
    return error;
}

QByteArray Site::formContents() const {
    TextOut out;
    putPageStart(out, "Contents", "contents.htm");
    if (contents_.isEmpty()) {
        out.put("<p>This run gave no contents.</p>\n");
    } else {
        out.put("<ul class=\"qg-contents\">\n");
        out.put(contents_);
        out.put("</ul>\n");
    }
    out.put(pageEnd);
    return out.bytes();
}

namespace {

// The letter of an index key: A-Z, or '#' for the rest.
char letterOf(QStringView key) {
    const QChar c = key.isEmpty() ? QChar() : key.at(0).toUpper();
    return c >= u'A' && c <= u'Z' ? char(c.unicode()) : '#';
}

void putAnchor(TextOut &out, char letter) {
    if (letter == '#')
        out.put("other");
    else
        out.put(letter);
}

void putLink(TextOut &out, const QString &href, const QString &text) {
    out.put("<a href=\"");
    out.putEscaped(href);
    out.put("\">");
    out.putEscaped(text);
    out.put("</a>");
}

} // namespace

QByteArray Site::formIndex() const {
    // A-Z by name with case and leading underscores ignored; ties by name and link, so
    // the order never depends on the order of the run. A page written twice is listed
    // once, as it was written last.
    struct Keyed {
        QString key;
        const IndexEntry *entry;
    };
    std::vector<Keyed> sorted;
    std::unordered_set<QString> listed;
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (!listed.insert(entry->href).second)
            continue;
        QString key = entry->name.toLower();
        qsizetype skip = 0;
        while (key.size() - skip > 1 && !key.at(skip).isLetterOrNumber())
            ++skip;
        sorted.push_back(Keyed{key.mid(skip), &*entry});
    }
    sortByKey(
        sorted, [](const Keyed &k) { return QStringView(k.key); },
        [](const Keyed &a, const Keyed &b) {
            return a.entry->name != b.entry->name ? a.entry->name < b.entry->name
                                                  : a.entry->href < b.entry->href;
        });
    TextOut body;
    putPageStart(body, "Index", "genindex.htm");
    if (sorted.empty())
        body.put("<p>This run documented nothing.</p>\n");
    body.put("<nav aria-label=\"Letters\">\n<ul class=\"qg-letters\">\n");
    for (size_t i = 0; i < sorted.size(); ++i) {
        const char letter = letterOf(sorted[i].key);
        if (i > 0 && letterOf(sorted[i - 1].key) == letter)
            continue;
        body.put("<li><a href=\"#letter-");
        putAnchor(body, letter);
        body.put("\">");
        body.put(letter);
        body.put("</a></li>\n");
    }
    body.put("</ul>\n</nav>\n");
    char current = 0; // none yet
    for (const Keyed &k : sorted) {
        const char letter = letterOf(k.key);
        if (letter != current) {
            if (current != 0)
                body.put("</tbody>\n</table>\n");
            current = letter;
            body.put("<h2 id=\"letter-");
            putAnchor(body, letter);
            body.put("\">");
            body.put(letter);
            body.put("</h2>\n<table class=\"qg-index\">\n"
                     "<thead><tr><th scope=\"col\">Name</th><th scope=\"col\">Kind</th>"
                     "<th scope=\"col\">In</th><th scope=\"col\">Brief</th></tr></thead>\n"
                     "<tbody>\n");
        }
        const IndexEntry &e = *k.entry;
        body.put("<tr><td>");
        putLink(body, e.href, e.name);
        body.put("</td><td class=\"qg-kind\">");
        body.putEscaped(e.kind);
        body.put("</td><td>");
        if (e.whereHref.isEmpty())
            body.putEscaped(e.where);
        else
            putLink(body, e.whereHref, e.where);
        body.put("</td><td>");
        body.putEscaped(e.brief);
        body.put("</td></tr>\n");
    }
    if (current != 0)
        body.put("</tbody>\n</table>\n");
    body.put(pageEnd);
    return body.bytes();
}
