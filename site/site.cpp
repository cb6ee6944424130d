#include "site/site.h"

#include "site/pagetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

void appendEscaped(QString &out, QStringView text) {
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u != '&' && u != '<' && u != '>' && u != '"')
            continue;
        out += text.mid(plain, i - plain);
        plain = i + 1;
        out += u == '&'   ? QLatin1String("&amp;")
               : u == '<' ? QLatin1String("&lt;")
               : u == '>' ? QLatin1String("&gt;")
                          : QLatin1String("&quot;");
    }
    out += text.mid(plain);
}

QString escapeHtml(QStringView text) {
    QString out;
    out.reserve(text.size() + 8);
    appendEscaped(out, text);
    return out;
}

// A path as the value of an href: characters that a URL reserves are percent-encoded.
QString href(const QString &path) {
    static const char kept[] = "/-._~!$'()*+,;=:@";
    const bool plain = std::all_of(path.begin(), path.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               (u < 128 && u != 0 && std::strchr(kept, char(u)));
    });
    return plain ? path : QString::fromLatin1(QUrl::toPercentEncoding(path, kept));
}

// A JavaScript string literal in ASCII, so that the shards read the same whatever
// encoding the browser assumes for them, and "</script>" cannot end an inline script.
constexpr struct JsPlain {
    bool of[128] = {};
    constexpr JsPlain() {
        for (int c = 0x20; c < 0x7f; ++c)
            of[c] = c != '"' && c != '\\' && c != '<' && c != '>';
    }
} jsPlain;

void appendJs(QString &out, QStringView text) {
    out += u'"';
    qsizetype plain = 0; // start of the characters not yet copied
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 128 && jsPlain.of[u])
            continue;
        const bool quote = u == '"' || u == '\\';
        out += text.mid(plain, i - plain);
        plain = i + 1;
        if (quote) {
            out += u'\\';
            out += text[i];
        } else {
            static const char hex[] = "0123456789abcdef";
            const char16_t escape[] = {u'\\',
                                       u'u',
                                       char16_t(hex[(u >> 12) & 15]),
                                       char16_t(hex[(u >> 8) & 15]),
                                       char16_t(hex[(u >> 4) & 15]),
                                       char16_t(hex[u & 15])};
            out += QStringView(escape, 6);
        }
    }
    out += text.mid(plain);
    out += u'"';
}

QString jsString(QStringView text) {
    QString out;
    out.reserve(text.size() + 2);
    appendJs(out, text);
    return out;
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

QByteArray writeFile(const QString &fileName, const QString &text) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return "cannot open " + fileName.toUtf8();
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return "cannot write " + fileName.toUtf8();
    return QByteArray();
}

// A file written as its text is formed, so that a long page is never held whole, nor
// a second time as UTF-8.
class TextFile {
public:
    explicit TextFile(const QString &fileName) : file_(fileName) {
        opened_ = file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    QString &text() { return text_; }
    // Writes what has been formed once there is enough of it.
    void flushSome() {
        if (text_.size() >= 32 * 1024)
            flush();
    }
    // Returns an error message, empty on success.
    QByteArray close() {
        if (!opened_)
            return "cannot open " + file_.fileName().toUtf8();
        flush();
        if (failed_)
            return "cannot write " + file_.fileName().toUtf8();
        file_.close();
        return QByteArray();
    }

private:
    void flush() {
        if (!opened_ || failed_ || text_.isEmpty())
            return;
        const QByteArray bytes = text_.toUtf8();
        failed_ = file_.write(bytes) != bytes.size();
        text_.resize(0);
    }
    QFile file_;
    QString text_;
    bool opened_ = false;
    bool failed_ = false;
};

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
QString pageStart(const QString &title, const char *current) {
    static const struct {
        const char *file;
        const char *label;
    } links[] = {{"search.htm", "Search"}, {"contents.htm", "Contents"}, {"genindex.htm", "Index"}};
    QString nav = QStringLiteral("<nav class=\"qg-site-nav\" aria-label=\"Site\">\n");
    for (const auto &link : links)
        nav += QStringLiteral("<a href=\"%1\"%2>%3</a>\n")
                   .arg(QLatin1String(link.file),
                        qstrcmp(link.file, current) == 0 ? QStringLiteral(" aria-current=\"page\"")
                                                         : QString(),
                        QLatin1String(link.label));
    nav += QLatin1String("</nav>\n");
    return QLatin1String(
               "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
               "<title>") +
           escapeHtml(title) +
           QLatin1String("</title>\n<link rel=\"stylesheet\" href=\"default.css\">\n") +
           QLatin1String(siteStyle) + QLatin1String("</head>\n<body>\n<header>\n") + nav +
           QLatin1String("</header>\n<main>\n<h1>") + escapeHtml(title) + QLatin1String("</h1>\n");
}

const char pageEnd[] = "</main>\n</body>\n</html>\n";

// The value of name="..." among the attributes of an element.
QString attribute(QStringView attributes, QLatin1String name) {
    for (qsizetype at = attributes.indexOf(name); at >= 0;
         at = attributes.indexOf(name, at + name.size())) {
        const bool wordStart = at == 0 || attributes[at - 1].isSpace();
        const qsizetype quote = at + name.size() + 1;
        if (wordStart && attributes.mid(at + name.size(), 2) == QLatin1String("=\"")) {
            const qsizetype end = attributes.indexOf(u'"', quote + 1);
            if (end > quote)
                return attributes.mid(quote + 1, end - quote - 1).toString();
        }
    }
    return QString();
}

// Text for a label: entities decoded, as a reader sees it.
QString plain(const QString &html) {
    if (!html.contains(u'<') && !html.contains(u'&'))
        return html.simplified();
    PageText text;
    readPageText(html, text);
    return text.prose.simplified();
}

// A brief as the reader sees it: commands taken out, their braced arguments kept.
QString plainBrief(const QString &brief) {
    if (!brief.contains(u'\\') && !brief.contains(u'{'))
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

Site::Site(const QString &workingDirectory)
    : workingDirectory_(workingDirectory), workingFolder_(workingDirectory) {}

QString Site::relative(const QString &fileName) const {
    // Most pages lie below the working directory, named by its absolute path or not.
    // Clean: it neither starts with "./" or "../" nor holds "/." or "//"; one pass, as
    // every page and declaration asks.
    const auto clean = [](QStringView path) {
        const qsizetype size = path.size();
        if (size >= 2 && path[0] == u'.' &&
            (path[1] == u'/' || (path[1] == u'.' && size >= 3 && path[2] == u'/')))
            return false;
        for (qsizetype k = 0; k + 1 < size; ++k)
            if (path[k] == u'/' && (path[k + 1] == u'.' || path[k + 1] == u'/'))
                return false;
        return true;
    };
    const qsizetype base = workingDirectory_.size();
    if (fileName.size() > base + 1 && fileName.startsWith(workingDirectory_) &&
        fileName.at(base) == u'/' && clean(QStringView(fileName).mid(base + 1)))
        return fileName.mid(base + 1);
    if (!fileName.startsWith(u'/') && clean(fileName))
        return fileName;
    return workingFolder_.relativeFilePath(fileName);
}

void Site::addPage(const QString &fileName, const QString &title, const QString &text,
                   const QString &input, bool manualPage) {
    const QString path = relative(fileName);
    // A page written again replaces the earlier one: only the last is searched.
    const auto previous = documentByPath_.constFind(path);
    if (previous != documentByPath_.constEnd())
        documents_[*previous].alive = false;
    const quint32 id = quint32(documents_.size());
    documentByPath_.insert(path, id);

    index_.beginDocument(id);
    index_.addText(title, SearchIndex::Title);
    readPageText(text, pageText_);
    index_.addText(pageText_.headings, SearchIndex::Heading);
    index_.addText(pageText_.prose, SearchIndex::Body);
    index_.addText(pageText_.code, SearchIndex::Body);
    index_.endDocument();
    // The snippet is the page's first prose; code only when it has none.
    Snippet snippet(snippetLength);
    snippet.add(pageText_.prose);
    QString snippetText = snippet.text();
    if (snippetText.isEmpty()) {
        snippet.add(pageText_.code);
        snippetText = snippet.text();
    }
    documents_.push_back(Document{path, title, snippetText});
    // The texts keep their storage for the next page, unless a long page (a header's
    // index) left it much larger than pages mostly need.
    if (text.size() > 64 * 1024)
        pageText_ = PageText();

    if (manualPage && !title.trimmed().isEmpty())
        entries_.push_back(IndexEntry{title.simplified(), QStringLiteral("page"), href(path),
                                      QFileInfo(input).fileName(), QString(), QString()});
}

void Site::addDeclaration(const Declaration &d) {
    const QString page = relative(d.pageFile);
    const QString link = href(page);
    // The declarations of a header come together: its link is formed once.
    if (d.headerPage != lastHeaderPage_) {
        lastHeaderPage_ = d.headerPage;
        lastHeaderLink_ = d.headerPage.isEmpty() ? QString() : href(relative(d.headerPage));
    }
    const QString &where = lastHeaderLink_;
    const QString brief = plainBrief(d.brief);
    entries_.push_back(IndexEntry{d.name, d.kind, link, d.header, where, brief});
    // The brief says best what a declaration's page is about.
    const auto document = documentByPath_.constFind(page);
    if (!brief.isEmpty() && document != documentByPath_.constEnd())
        documents_[*document].snippet = brief;
}

void Site::addContents(const QString &text, const QString &baseDirectory) {
    // Whether each open item has opened its list of children yet.
    std::vector<bool> open;
    const auto beginItem = [&]() {
        if (!open.empty() && !open.back()) {
            contentsHtml_ += QLatin1String("\n<ul>\n");
            open.back() = true;
        }
        contentsHtml_ += QLatin1String("<li>");
    };
    const QStringView all(text);
    for (qsizetype at = all.indexOf(QLatin1String("content")); at >= 0;
         at = all.indexOf(QLatin1String("content"), at + 7)) {
        // An element "<content ...>", "<content ... />" or "</content>".
        const bool closing = at >= 2 && all.mid(at - 2, 2) == QLatin1String("</");
        if (!closing && (at < 1 || all[at - 1] != u'<'))
            continue;
        const qsizetype end = all.indexOf(u'>', at);
        if (end < 0)
            break;
        const QStringView attributes = all.mid(at + 7, end - at - 7);
        if (!attributes.isEmpty() && !attributes[0].isSpace() && attributes[0] != u'/')
            continue; // "<contents>" and the like
        if (closing) {
            if (open.empty())
                continue;
            if (open.back())
                contentsHtml_ += QLatin1String("</ul>\n");
            contentsHtml_ += QLatin1String("</li>\n");
            open.pop_back();
            continue;
        }
        const QString url = attribute(attributes, QLatin1String("url"));
        QString label = plain(attribute(attributes, QLatin1String("title")));
        beginItem();
        if (!url.isEmpty()) {
            QString path = relative(baseDirectory.isEmpty() ? url : baseDirectory + u'/' + url);
            auto document = documentByPath_.constFind(path);
            // A split name that ends in ".htm" keeps it, without a second one.
            if (document == documentByPath_.constEnd() &&
                path.endsWith(QLatin1String(".htm.htm"))) {
                path.chop(4);
                document = documentByPath_.constFind(path);
            }
            if (document != documentByPath_.constEnd() && !documents_[*document].title.isEmpty())
                label = documents_[*document].title.simplified();
            if (label.isEmpty())
                label = path;
            contentsHtml_ += QLatin1String("<a href=\"");
            appendEscaped(contentsHtml_, href(path));
            contentsHtml_ += QLatin1String("\">");
            appendEscaped(contentsHtml_, label);
            contentsHtml_ += QLatin1String("</a>");
        } else {
            appendEscaped(contentsHtml_, label);
        }
        if (attributes.trimmed().endsWith(u'/'))
            contentsHtml_ += QLatin1String("</li>\n");
        else
            open.push_back(false);
    }
    while (!open.empty()) {
        if (open.back())
            contentsHtml_ += QLatin1String("</ul>\n");
        contentsHtml_ += QLatin1String("</li>\n");
        open.pop_back();
    }
}

QByteArray Site::write(const QString &stylesheet) {
    QByteArray error = writeSearch();
    if (error.isEmpty())
        error = writeContents();
    if (error.isEmpty())
        error = writeIndex();
    if (!error.isEmpty() || stylesheet.isEmpty())
        return error;
    // Every folder that holds pages, the working directory with the site's own first.
    QStringList folders{QStringLiteral(".")};
    for (const Document &document : documents_) {
        const qsizetype slash = document.path.lastIndexOf(u'/');
        const QStringView folder =
            slash < 0 ? QStringView(u".") : QStringView(document.path).left(slash);
        // Pages of one folder mostly come one after another.
        if (document.alive && folders.last() != folder)
            folders.append(folder.toString());
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    const QDir root(workingDirectory_);
    for (const QString &folder : std::as_const(folders)) {
        const QString target = root.filePath(folder + QLatin1String("/default.css"));
        if (!QFileInfo::exists(target) && !QFile::copy(stylesheet, target))
            return "cannot copy the stylesheet to " + target.toUtf8();
    }
    return QByteArray();
}

QByteArray Site::writeSearch() {
    const QDir root(workingDirectory_);
    const QString folder = root.filePath(QStringLiteral("search-index"));
    if (!QDir().mkpath(folder))
        return "cannot create " + folder.toUtf8();
    // Shards of an earlier run would answer for pages that may be gone.
    static const QRegularExpression shardName(QStringLiteral("^[td][0-9a-z_-]*\\.js$"));
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        if (shardName.match(name).hasMatch())
            QFile::remove(folder + u'/' + name);

    std::vector<bool> alive;
    alive.reserve(documents_.size());
    for (const Document &document : documents_)
        alive.push_back(document.alive);

    // The document table: folder, file, title (empty when it is the file's name without
    // ".htm") and snippet, in chunks of documentsPerChunk.
    QStringList folders;
    QHash<QString, int> folderIds;
    QString chunk;
    int chunkCount = 0, inChunk = 0;
    quint32 count = 0;
    const auto flush = [&]() -> QByteArray {
        if (inChunk == 0)
            return QByteArray();
        const QString name = folder + QStringLiteral("/d%1.js").arg(chunkCount++);
        inChunk = 0;
        return writeFile(name, QStringLiteral("quillgenDocuments(%1,[").arg(chunkCount - 1) +
                                   chunk + QLatin1String("]);\n"));
    };
    for (const Document &document : documents_) {
        if (!document.alive)
            continue;
        const qsizetype slash = document.path.lastIndexOf(u'/') + 1;
        const QString dir = document.path.left(slash);
        const QString file = document.path.mid(slash);
        auto id = folderIds.constFind(dir);
        if (id == folderIds.constEnd()) {
            id = folderIds.insert(dir, int(folders.size()));
            folders.append(dir);
        }
        const QString title =
            file == document.title + QLatin1String(".htm") ? QString() : document.title;
        chunk += inChunk ? QLatin1String(",\n[") : QLatin1String("\n[");
        chunk += QString::number(*id);
        chunk += u',';
        appendJs(chunk, href(file));
        chunk += u',';
        appendJs(chunk, title);
        chunk += u',';
        appendJs(chunk, document.snippet);
        chunk += u']';
        ++count;
        if (++inChunk == documentsPerChunk) {
            const QByteArray error = flush();
            if (!error.isEmpty())
                return error;
            chunk.clear();
        }
    }
    QByteArray error = flush();
    if (!error.isEmpty())
        return error;

    // Term shards; the manifest marks a prefix that was split and kept no terms with 0.
    QString shards;
    const QMap<QString, QList<ShardTerm>> byPrefix = index_.shards(alive, shardBytes);
    for (auto it = byPrefix.cbegin(); it != byPrefix.cend(); ++it) {
        shards += (shards.isEmpty() ? QString() : QStringLiteral(",")) + jsString(it.key()) +
                  (it->isEmpty() ? QLatin1String(":0") : QLatin1String(":1"));
        if (it->isEmpty())
            continue;
        QString text = QLatin1String("quillgenShard(") + jsString(it.key()) + QLatin1String(",[");
        bool first = true;
        for (const ShardTerm &term : *it) {
            text += first ? QLatin1String("\n[") : QLatin1String(",\n[");
            appendJs(text, term.term);
            text += u',';
            text += QString::number(term.documents);
            text += u',';
            appendJs(text, term.postings);
            text += u']';
            first = false;
        }
        error = writeFile(folder + u'/' + shardStem(it.key()) + QLatin1String(".js"),
                          text + QLatin1String("]);\n"));
        if (!error.isEmpty())
            return error;
    }

    QString folderList;
    for (const QString &dir : std::as_const(folders))
        folderList +=
            (folderList.isEmpty() ? QString() : QStringLiteral(",")) + jsString(href(dir));
    QFile script(QStringLiteral(":/site/search.js"));
    if (!script.open(QIODevice::ReadOnly))
        return "the search script is missing from the program";
    const QString body =
        QLatin1String(
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
            "<script>\nvar quillgenSite = {documents: ") +
        QString::number(count) +
        QStringLiteral(", chunk: %1, prefix: %2, folders: [")
            .arg(documentsPerChunk)
            .arg(SearchIndex::longestPrefix) +
        folderList + QLatin1String("],\nshards: {") + shards + QLatin1String("}};\n</script>\n") +
        QLatin1String("<script>\n") + QString::fromUtf8(script.readAll()) +
        QLatin1String("</script>\n");
    return writeFile(root.filePath(QStringLiteral("search.htm")),
                     pageStart(QStringLiteral("Search"), "search.htm") + body +
                         QLatin1String(pageEnd));
}

QByteArray Site::writeContents() {
    TextFile file(QDir(workingDirectory_).filePath(QStringLiteral("contents.htm")));
    QString &out = file.text();
    out = pageStart(QStringLiteral("Contents"), "contents.htm");
    if (contentsHtml_.isEmpty()) {
        out += QLatin1String("<p>This run gave no contents.</p>\n");
    } else {
        out += QLatin1String("<ul class=\"qg-contents\">\n");
        file.flushSome();
        out += contentsHtml_;
        file.flushSome();
        out += QLatin1String("</ul>\n");
    }
    out += QLatin1String(pageEnd);
    return file.close();
}

QByteArray Site::writeIndex() {
    // A-Z by name with case and leading underscores ignored; ties by name and link, so
    // the order never depends on the order of the run.
    struct Sorted {
        QString key;
        const IndexEntry *entry;
    };
    // A page written twice is listed once, as it was written last.
    QSet<QString> listed;
    std::vector<Sorted> sorted;
    sorted.reserve(entries_.size());
    for (auto it = entries_.crbegin(); it != entries_.crend(); ++it) {
        const IndexEntry &entry = *it;
        if (listed.contains(entry.href))
            continue;
        listed.insert(entry.href);
        QString key = entry.name.toLower();
        while (key.size() > 1 && !key.at(0).isLetterOrNumber())
            key.remove(0, 1);
        sorted.push_back(Sorted{key, &entry});
    }
    std::sort(sorted.begin(), sorted.end(), [](const Sorted &a, const Sorted &b) {
        if (a.key != b.key)
            return a.key < b.key;
        if (a.entry->name != b.entry->name)
            return a.entry->name < b.entry->name;
        return a.entry->href < b.entry->href;
    });
    // A-Z, or '#' for the rest.
    const auto letterOf = [](const QString &key) {
        const QChar c = key.isEmpty() ? QChar() : key.at(0).toUpper();
        return c >= u'A' && c <= u'Z' ? c : QChar(u'#');
    };
    const auto anchorOf = [](QChar letter) {
        return letter == u'#' ? QStringLiteral("other") : QString(letter);
    };
    QList<QChar> letters;
    for (const Sorted &s : sorted)
        if (letters.isEmpty() || letters.last() != letterOf(s.key))
            letters.append(letterOf(s.key));

    TextFile file(QDir(workingDirectory_).filePath(QStringLiteral("genindex.htm")));
    QString &body = file.text();
    body = pageStart(QStringLiteral("Index"), "genindex.htm");
    if (sorted.empty())
        body += QLatin1String("<p>This run documented nothing.</p>\n");
    body += QLatin1String("<nav aria-label=\"Letters\">\n<ul class=\"qg-letters\">\n");
    for (const QChar letter : std::as_const(letters))
        body += QStringLiteral("<li><a href=\"#letter-%1\">%2</a></li>\n")
                    .arg(anchorOf(letter), QString(letter));
    body += QLatin1String("</ul>\n</nav>\n");
    QChar current; // none yet
    for (const Sorted &s : sorted) {
        const QChar letter = letterOf(s.key);
        if (letter != current) {
            if (!current.isNull())
                body += QLatin1String("</tbody>\n</table>\n");
            current = letter;
            body += QStringLiteral(
                        "<h2 id=\"letter-%1\">%2</h2>\n<table class=\"qg-index\">\n"
                        "<thead><tr><th scope=\"col\">Name</th><th scope=\"col\">Kind</th>"
                        "<th scope=\"col\">In</th><th scope=\"col\">Brief</th></tr></thead>\n"
                        "<tbody>\n")
                        .arg(anchorOf(letter), QString(letter));
        }
        const IndexEntry &e = *s.entry;
        body += QLatin1String("<tr><td><a href=\"");
        appendEscaped(body, e.href);
        body += QLatin1String("\">");
        appendEscaped(body, e.name);
        body += QLatin1String("</a></td><td class=\"qg-kind\">");
        appendEscaped(body, e.kind);
        body += QLatin1String("</td><td>");
        if (e.whereHref.isEmpty()) {
            appendEscaped(body, e.where);
        } else {
            body += QLatin1String("<a href=\"");
            appendEscaped(body, e.whereHref);
            body += QLatin1String("\">");
            appendEscaped(body, e.where);
            body += QLatin1String("</a>");
        }
        body += QLatin1String("</td><td>");
        appendEscaped(body, e.brief);
        body += QLatin1String("</td></tr>\n");
        file.flushSome();
    }
    if (!current.isNull())
        body += QLatin1String("</tbody>\n</table>\n");
    body += QLatin1String(pageEnd);
    return file.close();
}
