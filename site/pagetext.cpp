#include "site/pagetext.h"

#include <algorithm>
#include <cstring>

namespace {

// The character that an entity names, or a null character for one we do not know.
QChar entity(QStringView name) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0xffff)
            return QChar();
        return code == 160 ? QChar(u' ') : QChar(char16_t(code));
    }
    static const struct {
        const char16_t *name;
        char16_t c;
    } known[] = {{u"amp", u'&'},      {u"lt", u'<'},      {u"gt", u'>'},      {u"quot", u'"'},
                 {u"apos", u'\''},    {u"nbsp", u' '},    {u"middot", 0xb7},  {u"copy", 0xa9},
                 {u"reg", 0xae},      {u"trade", 0x2122}, {u"mdash", 0x2014}, {u"ndash", 0x2013},
                 {u"hellip", 0x2026}, {u"rarr", 0x2192},  {u"larr", 0x2190},  {u"times", 0xd7}};
    for (const auto &k : known)
        if (name == QStringView(k.name))
            return QChar(k.c);
    return QChar();
}

// Appends run to text with its entities decoded.
void appendDecoded(QStringView run, QString &text) {
    qsizetype i = 0;
    while (i < run.size()) {
        const qsizetype amp = run.indexOf(u'&', i);
        if (amp < 0) {
            text += run.mid(i);
            break;
        }
        text += run.mid(i, amp - i);
        const qsizetype semicolon = run.indexOf(u';', amp);
        const QChar c = semicolon > amp && semicolon - amp <= 10
                            ? entity(run.mid(amp + 1, semicolon - amp - 1))
                            : QChar();
        if (c.isNull()) {
            text += u'&';
            i = amp + 1;
        } else {
            text += c;
            i = semicolon + 1;
        }
    }
}

bool isHeadingTag(QStringView tag) {
    return tag.size() == 2 && (tag[0] == u'h' || tag[0] == u'H') && tag[1] >= u'1' &&
           tag[1] <= u'6';
}

bool is(QStringView tag, const char *name) {
    return tag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// Elements that sit inside a line of text: their edges do not end a word. Pages are
// mostly spans of coloured code, so this is decided without a string comparison.
bool isInline(QStringView tag) {
    char name[8];
    if (tag.isEmpty() || tag.size() > 6)
        return false;
    for (qsizetype i = 0; i < tag.size(); ++i) {
        const char16_t u = tag[i].unicode();
        if (u >= 128)
            return false;
        name[i] = char(u >= 'A' && u <= 'Z' ? u + 32 : u);
    }
    name[tag.size()] = '\0';
    static const char *const names[] = {"a",   "b",    "i",    "u",    "em",   "strong", "span",
                                        "tt",  "code", "sub",  "sup",  "font", "small",  "big",
                                        "kbd", "var",  "mark", "abbr", "cite", "samp"};
    for (const char *n : names)
        if (std::strcmp(n, name) == 0)
            return true;
    return false;
}

} // namespace

void PageText::clear() {
    prose.resize(0);
    headings.resize(0);
    code.resize(0);
}

void readPageText(QStringView html, PageText &text) {
    text.clear();
    qsizetype i = html.indexOf(QLatin1String("<body>"));
    i = i < 0 ? 0 : i + 6;
    int headings = 0, code = 0;
    const auto current = [&]() -> QString & {
        return headings > 0 ? text.headings : code > 0 ? text.code : text.prose;
    };
    while (i < html.size()) {
        const qsizetype open = html.indexOf(u'<', i);
        const qsizetype runEnd = open < 0 ? html.size() : open;
        if (runEnd > i)
            appendDecoded(html.mid(i, runEnd - i), current());
        if (open < 0)
            break;
        if (html.mid(open, 4) == QLatin1String("<!--")) {
            const qsizetype close = html.indexOf(QLatin1String("-->"), open + 4);
            i = close < 0 ? html.size() : close + 3;
            continue;
        }
        const qsizetype close = html.indexOf(u'>', open);
        if (close < 0)
            break;
        const bool closing = open + 1 < html.size() && html[open + 1] == u'/';
        qsizetype nameStart = open + (closing ? 2 : 1), nameEnd = nameStart;
        while (nameEnd < close && html[nameEnd].isLetterOrNumber())
            ++nameEnd;
        const QStringView name = html.mid(nameStart, nameEnd - nameStart);
        i = close + 1;
        if (isInline(name))
            continue;
        // Block edges separate words that the markup writes without a space.
        QString &before = current();
        if (!before.isEmpty() && !before.endsWith(u' '))
            before += u' ';
        const int step = closing ? -1 : 1;
        if (isHeadingTag(name)) {
            headings = std::max(0, headings + step);
        } else if (is(name, "pre")) {
            code = std::max(0, code + step);
        } else if (!closing && (is(name, "script") || is(name, "style"))) {
            const QString end = QLatin1String("</") + name.toString().toLower();
            const qsizetype skip = html.indexOf(end, i, Qt::CaseInsensitive);
            i = skip < 0 ? html.size() : skip;
        }
        QString &after = current();
        if (!after.isEmpty() && !after.endsWith(u' '))
            after += u' ';
    }
}

void Snippet::add(QStringView text) {
    if (text_.capacity() < limit_)
        text_.reserve(limit_ + 1);
    // Runs of white space become one space; words are copied whole.
    qsizetype i = 0;
    while (i < text.size() && !full_) {
        if (text[i].isSpace()) {
            while (i < text.size() && text[i].isSpace())
                ++i;
            if (!text_.isEmpty() && !text_.endsWith(u' '))
                text_ += u' ';
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        const qsizetype room = limit_ - text_.size();
        if (end - i > room) {
            if (room > 0)
                text_ += text.mid(i, room);
            full_ = true;
        } else {
            text_ += text.mid(i, end - i);
        }
        i = end;
    }
}

QString Snippet::text() const {
    QString text = text_.trimmed();
    if (!full_)
        return text;
    // Cut back to the last whole word.
    const qsizetype space = text.lastIndexOf(u' ');
    if (space > limit_ / 2)
        text.truncate(space);
    return text + QStringLiteral(" …");
}
