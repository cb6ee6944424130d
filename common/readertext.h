#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <iterator>

// Text that holds markup of its own (tags and entities, as authors write it into their
// pages and contents) read as a reader sees it: tags give no words, entities give their
// characters, and a tag other than an inline one ends a word, as a line end.
namespace readertext {

// The character of an entity's name (without '&' and ';'), or a null character for one
// that is not known.
inline char16_t entityCharacter(QStringView name) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0xffff)
            return 0;
        return code == 160 ? u' ' : char16_t(code);
    }
    static const struct {
        const char *name;
        char16_t character;
    } named[] = {{"amp", u'&'},      {"lt", u'<'},      {"gt", u'>'},      {"quot", u'"'},
                 {"apos", u'\''},    {"nbsp", u' '},    {"middot", 0xb7},  {"copy", 0xa9},
                 {"reg", 0xae},      {"trade", 0x2122}, {"mdash", 0x2014}, {"ndash", 0x2013},
                 {"hellip", 0x2026}, {"rarr", 0x2192},  {"larr", 0x2190},  {"times", 0xd7},
                 {"ldquo", 0x201c},  {"rdquo", 0x201d}, {"lsquo", 0x2018}, {"rsquo", 0x2019}};
    for (const auto &entity : named)
        if (name == QLatin1String(entity.name))
            return entity.character;
    return 0;
}

// Tags that sit inside a line of text: their edges do not end a word.
inline bool isInlineTag(QStringView name) {
    static const char *const tags[] = {"a",   "b",    "i",    "u",    "em",   "strong", "span",
                                       "tt",  "code", "sub",  "sup",  "font", "small",  "big",
                                       "kbd", "var",  "mark", "abbr", "cite", "samp"};
    return std::any_of(std::begin(tags), std::end(tags), [&](const char *tag) {
        return name.compare(QLatin1String(tag), Qt::CaseInsensitive) == 0;
    });
}

// Where a piece of markup left off: inside a tag, a comment, a script or a style, up
// to the text that ends it; nowhere (null) between them.
struct State {
    const char *until = nullptr;
};

// Appends what a reader sees of markup to out. Text may come in pieces cut anywhere but
// inside an entity or a tag's name; state carries what one piece leaves open to the next.
// Comments, scripts and styles give nothing.
inline void append(QString &out, QStringView markup, State &state) {
    const qsizetype size = markup.size();
    qsizetype at = 0;
    while (at < size) {
        if (state.until) {
            const QLatin1String until(state.until);
            const qsizetype close = markup.indexOf(until, at, Qt::CaseInsensitive);
            if (close < 0)
                return;
            // A script or style ends with its closing tag, itself up to '>'.
            state.until = until.size() > 1 && until[1] == '/' ? ">" : nullptr;
            at = close + until.size();
            continue;
        }
        qsizetype stop = at;
        while (stop < size && markup[stop] != u'<' && markup[stop] != u'&')
            ++stop;
        out += markup.mid(at, stop - at);
        if (stop == size)
            return;
        at = stop + 1;
        if (markup[stop] == u'&') {
            // A known entity ends with ';' within ten characters of its '&'.
            const qsizetype semicolon = markup.indexOf(u';', at);
            const char16_t c = semicolon > at && semicolon - stop <= 10
                                   ? entityCharacter(markup.mid(at, semicolon - at))
                                   : 0;
            out += c != 0 ? QChar(c) : QChar(u'&');
            if (c != 0)
                at = semicolon + 1;
            continue;
        }
        if (markup.mid(at).startsWith(QLatin1String("!--"))) {
            state.until = "-->";
            at += 3;
            continue;
        }
        // '<' opens a tag when a name, '/' or '!' follows; else it is a character.
        const QChar next = at < size ? markup[at] : QChar();
        if (!next.isLetter() && next != u'/' && next != u'!') {
            out += u'<';
            continue;
        }
        qsizetype nameEnd = next == u'/' ? at + 1 : at;
        const qsizetype nameStart = nameEnd;
        while (nameEnd < size && markup[nameEnd].isLetterOrNumber())
            ++nameEnd;
        const QStringView name = markup.mid(nameStart, nameEnd - nameStart);
        if (!isInlineTag(name) && !out.isEmpty() && !out.back().isSpace())
            out += u'\n';
        const bool opening = next != u'/';
        state.until =
            opening && name.compare(QLatin1String("script"), Qt::CaseInsensitive) == 0  ? "</script"
            : opening && name.compare(QLatin1String("style"), Qt::CaseInsensitive) == 0 ? "</style"
                                                                                        : ">";
        at = nameEnd;
    }
}

} // namespace readertext
