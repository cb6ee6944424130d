#include "colouring/colourcode.h"

#include "colouring/assemblyparser.h"
#include "colouring/basicparser.h"
#include "colouring/commentsandliterals.h"
#include "colouring/cparser.h"
#include "colouring/htmlescape.h"
#include "colouring/javascriptparser.h"
#include "colouring/styles.h"
#include "colouring/xmlparser.h"
#include "colouring/zodidideparser.h"
#include "common/charclass.h"
#include "common/findeither.h"
#include "common/textappender.h"
#include "common/textcopy.h"
#include "common/wordset.h"

#include <QLatin1String>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

ZodiDideParser *createColourer(const QString &language) {
    if (language == QLatin1String("basic") || language == QLatin1String("classic-basic"))
        return new ZodiDideCoreBASICParser;
    if (language == QLatin1String("c"))
        return new ZodiDideCParser;
    if (language == QLatin1String("xml"))
        return new ZodiDideXMLParser;
    if (language == QLatin1String("asm"))
        return new ZodiDideAssemblyParser;
    if (language == QLatin1String("javascript") || language == QLatin1String("js"))
        return new ZodiDideJavaScriptParser;
    return nullptr;
}

namespace {

// Colourers kept by language name: making one builds its keyword table. A name without
// a colourer is kept as none.
using Colourers = std::map<QString, std::unique_ptr<ZodiDideParser>>;

ZodiDideParser *colourerIn(Colourers &colourers, const QString &language) {
    auto it = colourers.find(language);
    if (it == colourers.end())
        it = colourers.emplace(language, std::unique_ptr<ZodiDideParser>(createColourer(language)))
                 .first;
    return it->second.get();
}

} // namespace

ZodiDideParser *cachedColourer(const QString &language) {
    // Colourers are never dropped: each keeps its line state for the whole run.
    static Colourers colourers;
    return colourerIn(colourers, language);
}

QString colourCode(const QString &code, const QString &language) {
    QString html;
    appendColouredCode(html, code, language);
    return html;
}

QString languageForSuffix(const QString &suffix) {
    static const struct {
        const char *suffix;
        const char *language;
    } table[] = {
        {"bas", "basic"}, {"xml", "xml"}, {"c", "c"},           {"h", "c"},
        {"cpp", "c"},     {"hpp", "c"},   {"cxx", "c"},         {"hxx", "c"},
        {"cc", "c"},      {"hh", "c"},    {"js", "javascript"},
    };
    for (const auto &entry : table) {
        if (suffix == QLatin1String(entry.suffix))
            return QLatin1String(entry.language);
    }
    // Project files are XML whatever case their suffix is written in.
    if (suffix.compare(QLatin1String("qvProject"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QLatin1String("rud"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("xml");
    return QStringLiteral("plain");
}

namespace {

// BASIC listings carry line numbers that the reader does not need: drop them, and drop
// a line that held nothing but a number and an empty remark.
QStringView stripLineNumber(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && line[i].isSpace())
        ++i;
    while (i < line.size() && charclass::isDigit(line[i]))
        ++i;
    if (i < line.size() && line[i].isSpace())
        ++i;
    line = line.mid(i);
    if (line.trimmed() == QLatin1String("'"))
        return QStringView();
    return line;
}

// The tag that opens a run of each style, made once: a sample has about as many runs as
// words. Looked up by the id that follows a marker, which may be any value; an unknown
// one opens a plain span.
class OpeningTags {
public:
    OpeningTags() {
        longest_ = plain().size();
        for (int id = 0; id <= StyleAttribute; ++id) {
            const QString name = styleName(id);
            tags_[id] = name.isEmpty() ? plain().toString()
                                       : QStringLiteral("<span class=\"qgn-code-%1\">").arg(name);
            longest_ = qMax(longest_, tags_[id].size());
        }
    }
    QStringView operator[](char16_t style) const {
        return style <= StyleAttribute ? QStringView(tags_[style]) : plain();
    }
    qsizetype longest() const { return longest_; }

private:
    static QStringView plain() { return u"<span>"; }
    QString tags_[StyleAttribute + 1];
    qsizetype longest_;
};

const OpeningTags &openingTags() {
    static const OpeningTags tags;
    return tags;
}

const QLatin1String spanEnd("</span>");

// The room that a line of length characters may take as HTML: every character may
// become an entity, and every two may be a marker.
size_t worstCase(size_t length) {
    return length * MaxXmlEntityLength +
           (length / 2 + 1) * size_t(spanEnd.size() + openingTags().longest()) + 1;
}

// Closes the open span, if any, and opens the next with its opening tag.
QChar *switchSpan(QChar *out, bool &inSpan, QStringView opening) {
    if (inSpan)
        out = copyTo(out, spanEnd);
    inSpan = true;
    return copyTo(out, opening);
}

QChar *putEscaped(QChar *out, QChar c) {
    const QLatin1String entity = xmlEntity(c);
    if (entity.isEmpty()) {
        *out++ = c;
        return out;
    }
    return copyTo(out, entity);
}

// Closes the line's last span and ends the line.
QChar *endLine(QChar *out, bool inSpan) {
    if (inSpan)
        out = copyTo(out, spanEnd);
    *out++ = QLatin1Char('\n');
    return out;
}

// Writes one line of colourer output, up to its end, as HTML at the end of the used part
// of room, which it grows to the worst case first: text escaped, each style marker
// closing the open span and opening the next, and a line end. Returns the new end.
size_t writeMarkedLine(std::vector<QChar> &room, size_t used, const QChar *buffer,
                       const QChar *end) {
    const OpeningTags &tags = openingTags();
    const size_t worst = worstCase(size_t(end - buffer));
    if (room.size() < used + worst)
        room.resize(std::max(used + worst, 2 * room.size()));
    QChar *const begin = room.data();
    QChar *out = begin + used;
    bool inSpan = false;
    for (const QChar *p = buffer; !p->isNull(); ++p) {
        if (p->unicode() == StyleMarker) {
            // The id after a marker may be 0 (plain text); it never ends the buffer.
            out = switchSpan(out, inSpan, tags[(++p)->unicode()]);
            continue;
        }
        out = putEscaped(out, *p);
    }
    return size_t(endLine(out, inSpan) - begin);
}

// Whether a run of this style may hold a link: not a comment, its documentation
// commands, or a literal, where a name is only text, nor a keyword, which no
// declaration is named.
bool linksIn(char16_t style) {
    return style == StyleText || style == StyleFunction || style == StyleUnnamed;
}

bool isWordChar(QChar c) {
    return charclass::isAlnum(c) || c == u'_';
}

// writeMarkedLine with the words that links.names holds, but for links.self, written as
// links to their pages. Kept apart so that lines without links pay nothing for them.
size_t writeLinkedLine(std::vector<QChar> &room, size_t used, const QChar *buffer, const QChar *end,
                       const CodeLinks &links) {
    static const QLatin1String linkStart("<a href=\"");
    static const QLatin1String linkMiddle(".htm\">");
    static const QLatin1String linkEnd("</a>");
    const OpeningTags &tags = openingTags();
    const size_t worst = worstCase(size_t(end - buffer));
    if (room.size() < used + worst)
        room.resize(std::max(used + worst, 2 * room.size()));
    QChar *out = room.data() + used;
    bool inSpan = false;
    bool linkable = true; // text before the first marker is plain
    bool afterWord = false;
    for (const QChar *p = buffer; !p->isNull(); ++p) {
        if (p->unicode() == StyleMarker) {
            const char16_t style = (++p)->unicode();
            out = switchSpan(out, inSpan, tags[style]);
            linkable = linksIn(style);
            continue;
        }
        if (linkable && !afterWord && isWordChar(*p) && !charclass::isDigit(*p)) {
            const QChar *wordEnd = p + 1;
            while (isWordChar(*wordEnd))
                ++wordEnd;
            const QStringView word(p, wordEnd);
            if (links.names->contains(word) && word != links.self) {
                // The link's tags come on top of the worst case of the whole line.
                const size_t extra = size_t(linkStart.size() + links.prefix.size() + word.size() +
                                            linkMiddle.size() + linkEnd.size());
                const size_t at = size_t(out - room.data());
                if (room.size() < at + extra + worst) {
                    room.resize(std::max(at + extra + worst, 2 * room.size()));
                    out = room.data() + at;
                }
                out = copyTo(out, linkStart);
                out = copyTo(out, links.prefix);
                out = copyTo(out, word);
                out = copyTo(out, linkMiddle);
                out = copyTo(out, word);
                out = copyTo(out, linkEnd);
            } else {
                out = copyTo(out, word);
            }
            p = wordEnd - 1;
            afterWord = true;
            continue;
        }
        afterWord = isWordChar(*p);
        out = putEscaped(out, *p);
    }
    return size_t(endLine(out, inSpan) - room.data());
}

// Writes the ellipsis commands of a sample as their characters. One pass gives what
// replacing "\\vdots", "\\hdots" and "\\..." in turn would: each command holds a single
// backslash, at its start, and no replacement holds one, so no replacement can make or
// break a later match. Only the text from `from` on is looked at.
void replaceEllipses(QString &html, qsizetype from) {
    static const struct {
        QLatin1String command; // after the backslash
        QLatin1String text;
    } ellipses[] = {
        {QLatin1String("vdots"), QLatin1String("&#x205e;")},
        {QLatin1String("hdots"), QLatin1String("&hellip;")},
        {QLatin1String("..."), QLatin1String("&hellip;")},
    };
    const QStringView all(html);
    qsizetype backslash = indexOfChar(all, u'\\', from);
    if (backslash < 0)
        return;
    QString out;
    out.reserve(html.size() - from + 16);
    qsizetype run = from;
    while (backslash >= 0) {
        const QStringView after = all.mid(backslash + 1);
        qsizetype next = backslash + 1;
        for (const auto &ellipsis : ellipses) {
            if (after.startsWith(ellipsis.command)) {
                out += all.mid(run, backslash - run);
                out += ellipsis.text;
                next = backslash + 1 + ellipsis.command.size();
                run = next;
                break;
            }
        }
        backslash = indexOfChar(all, u'\\', next);
    }
    if (run == from)
        return;
    out += all.mid(run);
    html.truncate(from);
    html += out;
}

// Appends the HTML of code to html. The lines are coloured and written through pointers
// into room kept from sample to sample, and the HTML is appended to html once: a sample
// has thousands of short runs, and growing the text piece by piece, or line by line,
// would cost more than colouring them.
void appendCodeHtml(QString &html, QStringView code, ZodiDideParser *colourer,
                    bool stripLineNumbers, const CodeLinks *links) {
    const qsizetype htmlStart = html.size();
    static std::vector<QChar> line;
    static std::vector<QChar> buffer;
    static std::vector<QChar> room;
    size_t used = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = indexOfChar(code, u'\n', start);
        QStringView part = code.mid(start, end < 0 ? code.size() - start : end - start);
        if (stripLineNumbers)
            part = stripLineNumber(part);
        // The marker character is reserved for the buffer; keep stray ones in the input
        // from being taken for style changes. The colourer reads up to a terminating 0.
        if (line.size() <= size_t(part.size()))
            line.resize(size_t(part.size()) + 1);
        // Copied whole, and the marker characters, which code almost never holds, looked
        // for eight at a time.
        char16_t *const lineBegin = reinterpret_cast<char16_t *>(line.data());
        char16_t *const lineEnd = lineBegin + part.size();
        std::copy(part.utf16(), part.utf16() + part.size(), lineBegin);
        *lineEnd = 0;
        for (const char16_t *at = lineBegin;
             (at = findEither(at, lineEnd, StyleMarker, StyleMarker)) != lineEnd; ++at)
            lineBegin[at - lineBegin] = QChar::ReplacementCharacter;
        const size_t needed = size_t(part.size() + 1) * 5 + 3;
        if (buffer.size() < needed)
            buffer.resize(needed);
        const QChar *const coloured = colourer->colourLine(line.data(), buffer.data());
        used = links ? writeLinkedLine(room, used, buffer.data(), coloured, *links)
                     : writeMarkedLine(room, used, buffer.data(), coloured);
        if (end < 0)
            break;
        start = end + 1;
    }
    TextAppender(html).append(room.data(), qsizetype(used));
    // The HTML holds a backslash only where the code does, and the code is the shorter.
    if (code.contains(QLatin1Char('\\')))
        replaceEllipses(html, htmlStart);
}

} // namespace

void appendColouredCode(QString &out, QStringView code, const QString &language,
                        const CodeLinks *links) {
    ZodiDideParser *colourer = cachedColourer(language);
    if (!colourer)
        appendEscapedXml(out, code);
    else if (!code.isEmpty())
        appendCodeHtml(out, code, colourer, language == QLatin1String("basic"),
                       links && links->names && language == QLatin1String("c") ? links : nullptr);
}

void appendLinkedText(QString &out, QStringView text, const CodeLinks &links) {
    const qsizetype size = text.size();
    qsizetype run = 0; // the start of the text not yet written
    for (qsizetype i = 0; i < size;) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < size && isWordChar(text[end]))
            ++end;
        const QStringView word = text.mid(i, end - i);
        if (!charclass::isDigit(text[i]) && links.names->contains(word) && word != links.self) {
            appendEscapedXml(out, text.mid(run, i - run));
            out += QLatin1String("<a href=\"");
            out += links.prefix;
            out += word;
            out += QLatin1String(".htm\">");
            out += word;
            out += QLatin1String("</a>");
            run = end;
        }
        i = end;
    }
    appendEscapedXml(out, text.mid(run));
}
