#include "site/site.h"

#include "common/simplify.h"
#include "common/texthash.h"

#include "site/pagetext.h"
#include "site/textout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <unordered_set>

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
constexpr char hrefKept[] = "/-._~!$'()*+,;=:@";

// The characters that a path keeps in an href: letters, digits and hrefKept.
constexpr struct HrefPlain {
    bool of[128] = {};
    constexpr HrefPlain() {
        for (int c = 0; c < 128; ++c)
            of[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        for (const char *k = hrefKept; *k; ++k)
            of[int(*k)] = true;
    }
} hrefPlain;

bool isPlainHref(QStringView path) {
    return std::all_of(path.begin(), path.end(),
                       [](QChar c) { return c.unicode() < 128 && hrefPlain.of[c.unicode()]; });
}

QString encodedHref(QStringView path) {
    return QString::fromLatin1(QUrl::toPercentEncoding(path.toString(), hrefKept));
}

// A path as the value of an href: characters that a URL reserves are percent-encoded.
QString href(const QString &path) {
    return isPlainHref(path) ? path : encodedHref(path);
}

// The same as a view: the path itself, or its encoded form in scratch.
QStringView href(QStringView path, QString &scratch) {
    return isPlainHref(path) ? path : (scratch = encodedHref(path));
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

// The value of name="..." among the attributes of an element. Names are found by their
// first character, eight characters at a time; the names asked for ("url", "title")
// cannot overlap themselves.
QStringView attribute(QStringView attributes, QLatin1String name) {
    const char16_t first = name.front().unicode();
    const char16_t *const begin = attributes.utf16();
    const char16_t *const end = begin + attributes.size();
    const qsizetype size = name.size();
    for (const char16_t *at = begin; end - at >= size; ++at) {
        at = pagetext::findEither(at, end, first, first);
        if (end - at < size)
            break;
        qsizetype k = 1;
        while (k < size && at[k] == name[k].unicode())
            ++k;
        if (k < size)
            continue;
        const bool wordStart = at == begin || QChar::isSpace(at[-1]);
        if (wordStart && end - at >= size + 2 && at[size] == u'=' && at[size + 1] == u'"') {
            const char16_t *const close = pagetext::findEither(at + size + 2, end, u'"', u'"');
            if (close != end)
                return QStringView(at + size + 2, close);
        }
    }
    return QStringView();
}

// The text with white space simplified, as QString::simplified gives it: the text itself
// when it is already so, as names and titles mostly are, or else formed in scratch.
QStringView simplifiedOf(QStringView text, QString &scratch) {
    if (isSimplified(text))
        return text;
    return scratch = text.toString().simplified();
}

// Text for a label: entities decoded, as a reader sees it; in scratch when it differs.
QStringView plain(QStringView html, QString &scratch) {
    const char16_t *const end = html.utf16() + html.size();
    if (pagetext::findEither(html.utf16(), end, u'<', u'&') == end)
        return simplifiedOf(html, scratch);
    PageText text;
    readPageText(html, text);
    return scratch = text.prose.simplified();
}

// Whether a text holds anything but white space.
bool hasWords(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
}

// A hash of a path, four characters at a time.
quint32 pathHash(QStringView path) {
    const char16_t *at = path.utf16();
    qsizetype left = path.size();
    quint64 hash = quint64(left) * 0x9e3779b97f4a7c15ull;
    for (; left >= 4; at += 4, left -= 4) {
        quint64 four;
        std::memcpy(&four, at, sizeof four);
        hash = (hash ^ four) * 0xff51afd7ed558ccdull;
    }
    quint64 rest = 0;
    std::memcpy(&rest, at, size_t(left) * sizeof(char16_t));
    hash = (hash ^ rest ^ (hash >> 29)) * 0xc4ceb9fe1a85ec53ull;
    return quint32(hash >> 32);
}

// A brief as the reader sees it: commands taken out, their braced arguments kept.
QString plainBrief(const QString &brief) {
    const QStringView view(brief);
    const char16_t *const end = view.utf16() + view.size();
    if (pagetext::findEither(view.utf16(), end, u'\\', u'{') == end)
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

QString Site::link(quint32 document) const {
    const Document &d = documents_[document];
    return d.plainHref ? d.path : encodedHref(d.path);
}

QStringView Site::relative(QStringView fileName, QString &scratch) const {
    // Most pages lie below the working directory, named by its absolute path or not.
    // Clean: it neither starts with "./" or "../" nor holds "/." or "//"; one pass, as
    // every page and declaration asks.
    const auto clean = [](QStringView path) {
        const qsizetype size = path.size();
        if (size >= 2 && path[0] == u'.' &&
            (path[1] == u'/' || (path[1] == u'.' && size >= 3 && path[2] == u'/')))
            return false;
        const char16_t *const end = path.utf16() + size;
        for (const char16_t *at = path.utf16();; ++at) {
            at = pagetext::findEither(at, end, u'/', u'/');
            if (end - at < 2)
                return true;
            if (at[1] == u'.' || at[1] == u'/')
                return false;
        }
    };
    const qsizetype base = workingDirectory_.size();
    if (fileName.size() > base + 1 &&
        std::memcmp(fileName.utf16(), workingDirectory_.utf16(), size_t(base) * sizeof(char16_t)) ==
            0 &&
        fileName[base] == u'/' && clean(fileName.mid(base + 1)))
        return fileName.mid(base + 1);
    if (!fileName.startsWith(u'/') && clean(fileName))
        return fileName;
    return scratch = workingFolder_.relativeFilePath(fileName.toString());
}

quint32 Site::findDocument(QStringView path) const {
    const quint32 hash = pathHash(path);
    const size_t mask = documentSlots_.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const quint32 entry = documentSlots_[slot];
        if (entry == 0)
            return noDocument;
        const Document &document = documents_[entry - 1];
        if (document.pathHash == hash && document.path.size() == path.size() &&
            std::memcmp(document.path.utf16(), path.utf16(), size_t(path.size()) * 2) == 0)
            return entry - 1;
    }
}

// Enters document id under its path; returns the document that was there, or noDocument.
quint32 Site::placeDocument(quint32 id) {
    // The table is kept at most half full.
    if (size_t(paths_ + 1) * 2 > documentSlots_.size()) {
        std::vector<quint32> old(documentSlots_.size() * 2);
        old.swap(documentSlots_);
        const size_t mask = documentSlots_.size() - 1;
        for (const quint32 entry : old) {
            if (entry == 0)
                continue;
            size_t slot = documents_[entry - 1].pathHash & mask;
            while (documentSlots_[slot] != 0)
                slot = (slot + 1) & mask;
            documentSlots_[slot] = entry;
        }
    }
    const Document &document = documents_[id];
    const size_t mask = documentSlots_.size() - 1;
    for (size_t slot = document.pathHash & mask;; slot = (slot + 1) & mask) {
        const quint32 entry = documentSlots_[slot];
        if (entry == 0) {
            documentSlots_[slot] = id + 1;
            ++paths_;
            return noDocument;
        }
        const Document &other = documents_[entry - 1];
        if (other.pathHash == document.pathHash && other.path == document.path) {
            documentSlots_[slot] = id + 1;
            return entry - 1;
        }
    }
}

void Site::addPage(const QString &fileName, const QString &title, const QString &text,
                   const QString &input, bool manualPage, bool afterBody) {
    QString scratch;
    const QStringView relativePath = relative(fileName, scratch);
    // Mostly the file name itself, whose characters the path then shares.
    const QString path =
        relativePath.data() == fileName.data() && relativePath.size() == fileName.size()
            ? fileName
            : relativePath.toString();
    const quint32 id = quint32(documents_.size());
    documents_.push_back(Document{path, title, QString(), pathHash(path), isPlainHref(path)});
    // A page written again replaces the earlier one: only the last is searched.
    const quint32 previous = placeDocument(id);
    if (previous != noDocument)
        documents_[previous].alive = false;

    // The page is read once: its words go to the index and its first prose to the
    // snippet as they are read.
    struct Sink {
        SearchIndex &index;
        Snippet &snippet;
        static SearchIndex::Field field(PagePart part) {
            return part == PagePart::Heading ? SearchIndex::Heading : SearchIndex::Body;
        }
        const char16_t *text(const char16_t *at, const char16_t *end, PagePart part) {
            const char16_t *const stop = index.addRun(at, end, field(part));
            if (part == PagePart::Prose && stop != at)
                snippet.add(at, stop, end);
            return stop;
        }
        void character(char16_t c, PagePart part) {
            index.addCharacter(c, field(part));
            if (part == PagePart::Prose)
                snippet.add(c);
        }
        void separate(PagePart part) {
            index.endWord();
            if (part == PagePart::Prose)
                snippet.add(u' ');
        }
    };
    index_.beginDocument(id);
    index_.addText(title, SearchIndex::Title);
    snippet_.clear();
    Sink sink{index_, snippet_};
    readPage(text, sink, afterBody);
    index_.endDocument();
    // The snippet is the page's first prose; code only when it has none. A header's page
    // is mostly described by its declaration's brief instead, which comes once the
    // header's pages are made: its prose waits for it, as it stands.
    const QStringView prose = snippet_.kept();
    if (!manualPage && !prose.isNull() && hasWords(prose)) {
        // Kept in blocks that never move, as a page's prose fits in one.
        if (proseBlocks_.empty() || proseBlockSize - proseUsed_ < size_t(prose.size())) {
            // Not filled before use.
            proseBlocks_.emplace_back(new char16_t[proseBlockSize]);
            proseUsed_ = 0;
        }
        char16_t *const kept = proseBlocks_.back().get() + proseUsed_;
        std::memcpy(kept, prose.utf16(), size_t(prose.size()) * sizeof(char16_t));
        proseUsed_ += size_t(prose.size());
        pendingSnippets_.push_back(PendingSnippet{id, kept, quint32(prose.size())});
    } else {
        QString snippetText = snippet_.text();
        if (snippetText.isEmpty()) {
            PageText pageText;
            readPageText(text, pageText, afterBody);
            snippet_.clear();
            snippet_.add(pageText.code);
            snippetText = snippet_.text();
        }
        documents_[id].snippet = snippetText;
    }

    if (manualPage && !title.trimmed().isEmpty()) {
        // The pages of one input come together: its file name is formed once.
        if (input != lastInput_) {
            lastInput_ = input;
            lastInputName_ = QFileInfo(input).fileName();
        }
        entries_.push_back(IndexEntry{title.simplified(), QStringLiteral("page"), link(id),
                                      lastInputName_, QString(), QString()});
    }
}

void Site::addDeclaration(const Declaration &d) {
    QString scratch;
    const QStringView page = relative(d.pageFile, scratch);
    const quint32 document = findDocument(page);
    // Mostly the path of the declaration's page as the page gave it, whose characters
    // the link shares.
    const QString pageLink = document != noDocument ? link(document) : href(page.toString());
    // The declarations of a header come together, sharing its page's name: its link is
    // formed once.
    const bool sameHeader = d.headerPage.constData() == lastHeaderPage_.constData() &&
                            d.headerPage.size() == lastHeaderPage_.size();
    if (!sameHeader && d.headerPage != lastHeaderPage_) {
        lastHeaderPage_ = d.headerPage;
        lastHeaderLink_ =
            d.headerPage.isEmpty() ? QString() : href(relative(d.headerPage, scratch).toString());
    }
    const QString &where = lastHeaderLink_;
    const QString brief = plainBrief(d.brief);
    entries_.push_back(IndexEntry{d.name, d.kind, pageLink, d.header, where, brief});
    // The brief says best what a declaration's page is about.
    if (!brief.isEmpty() && document != noDocument)
        documents_[document].snippet = brief;
}

void Site::endInput() {
    for (const PendingSnippet &pending : pendingSnippets_) {
        Document &document = documents_[pending.document];
        // A brief took the place of its snippet, or the page was written again.
        if (!document.snippet.isEmpty() || !document.alive)
            continue;
        snippet_.clear();
        snippet_.add(pending.prose, pending.prose + pending.size);
        document.snippet = snippet_.text();
    }
    pendingSnippets_.clear();
    proseBlocks_.clear();
}

void Site::addContents(const QString &text, const QString &baseDirectory) {
    // Whether each open item has opened its list of children yet.
    std::vector<bool> open;
    // The url with baseDirectory, which is written once.
    std::vector<char16_t> fullUrl(baseDirectory.utf16(),
                                  baseDirectory.utf16() + baseDirectory.size());
    fullUrl.push_back(u'/');
    const size_t urlStart = fullUrl.size();
    QString labelText, pathText, hrefText; // what is formed of them when it differs
    const auto beginItem = [&]() {
        if (!open.empty() && !open.back()) {
            contents_.put("\n<ul>\n");
            open.back() = true;
        }
        contents_.put("<li>");
    };
    const char16_t *const data = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *const textEnd = data + text.size();
    static const char16_t content[] = u"content";
    for (const char16_t *tag = data;; ++tag) {
        // An element "<content ...>", "<content ... />" or "</content>".
        tag = pagetext::findEither(tag, textEnd, u'<', u'<');
        const bool closing = textEnd - tag > 1 && tag[1] == u'/';
        const char16_t *const name = tag + (closing ? 2 : 1);
        if (textEnd - name < 7)
            break;
        if (std::memcmp(name, content, 7 * sizeof(char16_t)) != 0)
            continue;
        const char16_t *const end = pagetext::findEither(name, textEnd, u'>', u'>');
        if (end == textEnd)
            break;
        const QStringView attributes(name + 7, end);
        if (!attributes.isEmpty() && !attributes[0].isSpace() && attributes[0] != u'/')
            continue; // "<contents>" and the like
        if (closing) {
            if (open.empty())
                continue;
            if (open.back())
                contents_.put("</ul>\n");
            contents_.put("</li>\n");
            open.pop_back();
            continue;
        }
        const QStringView url = attribute(attributes, QLatin1String("url"));
        QStringView label = plain(attribute(attributes, QLatin1String("title")), labelText);
        beginItem();
        if (!url.isEmpty()) {
            if (!baseDirectory.isEmpty()) {
                fullUrl.resize(urlStart);
                fullUrl.insert(fullUrl.end(), url.utf16(), url.utf16() + url.size());
            }
            QStringView path = relative(
                baseDirectory.isEmpty() ? url
                                        : QStringView(fullUrl.data(), qsizetype(fullUrl.size())),
                pathText);
            quint32 document = findDocument(path);
            // A split name that ends in ".htm" keeps it, without a second one.
            if (document == noDocument && path.endsWith(QLatin1String(".htm.htm"))) {
                path.chop(4);
                document = findDocument(path);
            }
            if (document != noDocument && !documents_[document].title.isEmpty())
                label = simplifiedOf(documents_[document].title, labelText);
            if (label.isEmpty())
                label = path;
            contents_.put("<a href=\"");
            // A plain href holds nothing to escape.
            if (document != noDocument && documents_[document].plainHref)
                contents_.putText(path);
            else
                contents_.putEscaped(href(path, hrefText));
            contents_.put("\">");
            contents_.putEscaped(label);
            contents_.put("</a>");
        } else {
            contents_.putEscaped(label);
        }
        const char16_t *last = end;
        while (last != attributes.utf16() && QChar::isSpace(last[-1]))
            --last;
        if (last != attributes.utf16() && last[-1] == u'/')
            contents_.put("</li>\n");
        else
            open.push_back(false);
    }
    while (!open.empty()) {
        if (open.back())
            contents_.put("</ul>\n");
        contents_.put("</li>\n");
        open.pop_back();
    }
}

QByteArray Site::write(const QString &stylesheet) {
    endInput();
    // The contents and the A-Z index need nothing of what the search needs, and the run
    // has nothing else left to do: they are written on a second thread meanwhile, which
    // also frees the entries of the index. Without a thread they follow the search.
    QByteArray otherError;
    const auto writeOthers = [this, &otherError] {
        otherError = writeContents();
        if (otherError.isEmpty())
            otherError = writeIndex();
        std::vector<IndexEntry>().swap(entries_);
    };
    std::thread others;
    try {
        others = std::thread(writeOthers);
    } catch (const std::system_error &) {
    }
    QByteArray error = writeSearch();
    if (others.joinable())
        others.join();
    else
        writeOthers();
    if (error.isEmpty())
        error = otherError;
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
    // The shards are formed on a thread of their own while the document table is written
    // (the second core has only the contents and the A-Z index to write meanwhile); they
    // are read from documents and postings that no longer change. Without a thread they
    // are formed where they are needed.
    IndexShards index;
    std::thread sharding;
    try {
        sharding =
            std::thread([this, &alive, &index] { index = index_.shards(alive, shardBytes); });
    } catch (const std::system_error &) {
    }
    struct Joined {
        std::thread &thread;
        ~Joined() {
            if (thread.joinable())
                thread.join();
        }
    } joined{sharding};

    // The document table: folder, file, title (empty when it is the file's name without
    // ".htm") and snippet, in chunks of documentsPerChunk.
    QStringList folders;
    QHash<QString, int> folderIds;
    TextOut chunk;
    int chunkCount = 0, inChunk = 0;
    quint32 count = 0;
    const auto flush = [&]() -> QByteArray {
        if (inChunk == 0)
            return QByteArray();
        inChunk = 0;
        chunk.put("]);\n");
        return writeTextFile(folder + QStringLiteral("/d%1.js").arg(chunkCount++), chunk);
    };
    QStringView lastDir;
    int lastDirId = -1;
    for (const Document &document : documents_) {
        if (!document.alive)
            continue;
        const qsizetype slash = document.path.lastIndexOf(u'/') + 1;
        const QStringView dir = QStringView(document.path).left(slash);
        const QStringView file = QStringView(document.path).mid(slash);
        // Pages of one folder mostly come one after another.
        if (lastDirId < 0 || dir != lastDir) {
            const QString key = dir.toString();
            auto id = folderIds.constFind(key);
            if (id == folderIds.constEnd()) {
                id = folderIds.insert(key, int(folders.size()));
                folders.append(key);
            }
            lastDir = dir;
            lastDirId = *id;
        }
        const bool titled =
            !(file.size() == document.title.size() + 4 && file.startsWith(document.title) &&
              file.endsWith(QLatin1String(".htm")));
        if (inChunk == 0) {
            chunk.clear();
            chunk.put("quillgenDocuments(");
            chunk.putNumber(quint64(chunkCount));
            chunk.put(",[\n[");
        } else {
            chunk.put(",\n[");
        }
        chunk.putNumber(quint64(lastDirId));
        chunk.put(',');
        if (isPlainHref(file))
            chunk.putJs(file);
        else
            chunk.putJs(encodedHref(file));
        chunk.put(',');
        chunk.putJs(titled ? QStringView(document.title) : QStringView());
        chunk.put(',');
        chunk.putJs(document.snippet);
        chunk.put(']');
        ++count;
        if (++inChunk == documentsPerChunk) {
            const QByteArray error = flush();
            if (!error.isEmpty())
                return error;
        }
    }
    QByteArray error = flush();
    if (!error.isEmpty())
        return error;

    // Term shards; the manifest marks a prefix that was split and kept no terms with 0.
    TextOut manifest, text;
    if (sharding.joinable())
        sharding.join();
    else
        index = index_.shards(alive, shardBytes);
    for (const IndexShards::Shard &shard : index.shards) {
        if (!manifest.isEmpty())
            manifest.put(',');
        manifest.putJs(shard.prefix);
        if (shard.from == shard.to) {
            manifest.put(":0");
            continue;
        }
        manifest.put(":1");
        text.clear();
        text.put("quillgenShard(");
        text.putJs(shard.prefix);
        text.put(",[");
        for (size_t i = shard.from; i < shard.to; ++i) {
            const ShardTerm &term = index.terms[i];
            if (i == shard.from)
                text.put("\n[");
            else
                text.put(",\n[");
            text.putJs(term.term);
            text.put(',');
            text.putNumber(term.documents);
            text.put(",\"");
            // Postings are written in digits that a script string holds as they stand.
            text.put(term.postings.data(), term.postings.size());
            text.put("\"]");
        }
        text.put("]);\n");
        error = writeTextFile(folder + u'/' + shardStem(shard.prefix) + QLatin1String(".js"), text);
        if (!error.isEmpty())
            return error;
    }

    QFile script(QStringLiteral(":/site/search.js"));
    if (!script.open(QIODevice::ReadOnly))
        return "the search script is missing from the program";
    TextOut page;
    page.putText(pageStart(QStringLiteral("Search"), "search.htm"));
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
    return writeTextFile(root.filePath(QStringLiteral("search.htm")), page);
}

QByteArray Site::writeContents() {
    TextFile file(QDir(workingDirectory_).filePath(QStringLiteral("contents.htm")));
    TextOut &out = file.text();
    out.putText(pageStart(QStringLiteral("Contents"), "contents.htm"));
    if (contents_.isEmpty()) {
        out.put("<p>This run gave no contents.</p>\n");
    } else {
        out.put("<ul class=\"qg-contents\">\n");
        file.flushSome();
        out.put(contents_);
        file.flushSome();
        out.put("</ul>\n");
    }
    out.put(pageEnd);
    return file.close();
}

namespace {

// The first code units of a text, packed so that comparing two packed keys compares
// the texts' beginnings as QString compares texts (the shorter first when one begins
// the other, unless the longer goes on with null characters).
quint64 packedStart(QStringView text, qsizetype from) {
    quint64 key = 0;
    for (qsizetype k = from; k < from + 4; ++k)
        key = key << 16 | (k < text.size() ? text[k].unicode() : 0);
    return key;
}

} // namespace

QByteArray Site::writeIndex() {
    // A-Z by name with case and leading underscores ignored; ties by name and link, so
    // the order never depends on the order of the run.
    struct Sorted {
        quint64 start[3]; // the key's first twelve code units, packed
        quint32 entry;    // in entries_, and its key in keyRange
    };
    // A page written twice is listed once, as it was written last.
    std::unordered_set<QString, TextHash> listed;
    listed.reserve(entries_.size());
    std::vector<Sorted> sorted;
    sorted.reserve(entries_.size());
    // The keys end to end in one string: names lower-cased (those in ASCII, most of
    // them, without a call into Qt), less what leads them other than letters and digits.
    std::u16string keyChars;
    std::vector<std::pair<size_t, size_t>> keyRange(entries_.size()); // start and size
    for (size_t i = entries_.size(); i-- > 0;) {
        const IndexEntry &entry = entries_[i];
        if (!listed.insert(entry.href).second)
            continue;
        const size_t start = keyChars.size();
        const QString &name = entry.name;
        if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 128; })) {
            for (const QChar c : name)
                keyChars.push_back(c >= u'A' && c <= u'Z' ? char16_t(c.unicode() + 32)
                                                          : c.unicode());
        } else {
            const QString lower = name.toLower();
            keyChars.append(reinterpret_cast<const char16_t *>(lower.utf16()),
                            size_t(lower.size()));
        }
        size_t skip = 0;
        const size_t size = keyChars.size() - start;
        while (size - skip > 1 && !QChar(keyChars[start + skip]).isLetterOrNumber())
            ++skip;
        keyRange[i] = {start + skip, size - skip};
        const QStringView key(keyChars.data() + start + skip, qsizetype(size - skip));
        sorted.push_back(
            Sorted{{packedStart(key, 0), packedStart(key, 4), packedStart(key, 8)}, quint32(i)});
    }
    const auto keyOf = [&](quint32 entry) {
        return QStringView(keyChars.data() + keyRange[entry].first,
                           qsizetype(keyRange[entry].second));
    };
    // Names of generated declarations share long beginnings and come in an order that
    // drives a quicksort to its slow fallback: merged instead, which the order (total, as
    // every href is listed once) leaves as it was.
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Sorted &a, const Sorted &b) {
        if (a.start[0] != b.start[0])
            return a.start[0] < b.start[0];
        if (a.start[1] != b.start[1])
            return a.start[1] < b.start[1];
        if (a.start[2] != b.start[2])
            return a.start[2] < b.start[2];
        const QStringView x = keyOf(a.entry), y = keyOf(b.entry);
        if (x != y)
            return x < y;
        const IndexEntry &p = entries_[a.entry], &q = entries_[b.entry];
        if (p.name != q.name)
            return p.name < q.name;
        return p.href < q.href;
    });
    // A-Z, or '#' for the rest.
    const auto letterOf = [](QStringView key) {
        const QChar c = key.isEmpty() ? QChar() : key.at(0).toUpper();
        return c >= u'A' && c <= u'Z' ? char(c.unicode()) : '#';
    };
    const auto putAnchor = [](TextOut &out, char letter) {
        if (letter == '#')
            out.put("other");
        else
            out.put(letter);
    };
    std::vector<char> letters;
    for (const Sorted &s : sorted)
        if (letters.empty() || letters.back() != letterOf(keyOf(s.entry)))
            letters.push_back(letterOf(keyOf(s.entry)));

    TextFile file(QDir(workingDirectory_).filePath(QStringLiteral("genindex.htm")));
    TextOut &body = file.text();
    body.putText(pageStart(QStringLiteral("Index"), "genindex.htm"));
    if (sorted.empty())
        body.put("<p>This run documented nothing.</p>\n");
    body.put("<nav aria-label=\"Letters\">\n<ul class=\"qg-letters\">\n");
    for (const char letter : letters) {
        body.put("<li><a href=\"#letter-");
        putAnchor(body, letter);
        body.put("\">");
        body.put(letter);
        body.put("</a></li>\n");
    }
    body.put("</ul>\n</nav>\n");
    char current = 0; // none yet
    for (const Sorted &s : sorted) {
        const char letter = letterOf(keyOf(s.entry));
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
        const IndexEntry &e = entries_[s.entry];
        body.put("<tr><td><a href=\"");
        body.putEscaped(e.href);
        body.put("\">");
        body.putEscaped(e.name);
        body.put("</a></td><td class=\"qg-kind\">");
        body.putEscaped(e.kind);
        body.put("</td><td>");
        if (e.whereHref.isEmpty()) {
            body.putEscaped(e.where);
        } else {
            body.put("<a href=\"");
            body.putEscaped(e.whereHref);
            body.put("\">");
            body.putEscaped(e.where);
            body.put("</a>");
        }
        body.put("</td><td>");
        body.putEscaped(e.brief);
        body.put("</td></tr>\n");
        file.flushSome();
    }
    if (current != 0)
        body.put("</tbody>\n</table>\n");
    body.put(pageEnd);
    return file.close();
}
