#include "docgen/pagetemplate.h"

#include "colouring/colourcode.h"
#include "colouring/htmlescape.h"
#include "common/textcopy.h"
#include "docgen/programtables.h"

#include <QStringEncoder>

#include <vector>

namespace {

// The template's fixed text: before the title's style, after the title, and at the end.
const QLatin1String head("<html>\n"
                         "<!--\n"
                         "// Documentation page written by quillgen.\n"
                         "//\n"
                         "// Copyright (C) 2026 the quillgen developers.\n"
                         "// The text of this page belongs to the authors of its sources.\n"
                         "//\n"
                         "// This page may be copied and distributed, with or without\n"
                         "// changes, provided that this notice is kept.\n"
                         "//\n"
                         "// It is provided as is, without any warranty, express or implied,\n"
                         "// of merchantability or fitness for a particular purpose.\n"
                         "-->\n"
                         "<head>\n"
                         "<link rel=\"stylesheet\" href=\"default.css\" />\n"
                         "<title style=\"");
const QLatin1String
    afterTitle("</title>\n"
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\" />\n"
               "</head>\n"
               "<body>\n");
const QLatin1String tail("</body>\n</html>\n");

// The modern template (QUILLGEN_PAGES=modern): before the title, from the title to the
// navigation, from the navigation to the main part, and at the end.
const QLatin1String modernHead("<!DOCTYPE html>\n"
                               "<!-- Documentation page written by quillgen; its text belongs to "
                               "the authors of its sources. It may be copied "
                               "and distributed, with or without changes, provided that this "
                               "notice is kept; it comes without any warranty. -->\n"
                               "<html lang=\"en\">\n"
                               "<head>\n"
                               "<meta charset=\"utf-8\">\n"
                               "<meta name=\"viewport\" content=\"width=device-width, "
                               "initial-scale=1\">\n"
                               "<title>");
const QLatin1String modernAfterTitle("</title>\n"
                                     "<link rel=\"stylesheet\" href=\"default.css\">\n"
                                     "</head>\n"
                                     "<body class=\"qg-modern\">\n"
                                     "<a class=\"qg-skip\" href=\"#main\">Skip to content</a>\n");
const QLatin1String modernMain("<main id=\"main\">\n");
const QLatin1String modernTail("\n</main>\n</body>\n</html>\n");

// A modern page, in UTF-8 whatever the locale: its charset says so.
// Renumbers the headings of bytes[from, to) so that each is at most one level below the
// one before (h1, h2, h3...), as a reader of the page's outline expects: a manual's
// sections and a declaration's parts start lower (h3, h5) under the page's own title.
// A level keeps its place among the others; only the digits change, in place.
void renumberHeadings(char *from, char *to) {
    struct Level {
        char written;
        char shown;
    };
    Level open[7];
    int depth = 0;
    char shown = '1'; // of the heading last opened, for its closing tag
    for (char *p = from; p + 3 < to; ++p) {
        if (*p != '<')
            continue;
        const bool closing = p[1] == '/';
        char *const h = p + (closing ? 2 : 1);
        if (h + 2 >= to || h[0] != 'h' || h[1] < '1' || h[1] > '6' || (h[2] != '>' && h[2] != ' '))
            continue;
        if (!closing) {
            while (depth > 0 && open[depth - 1].written >= h[1])
                --depth;
            shown = depth == 0 ? '1' : char(open[depth - 1].shown + 1);
            open[depth++] = Level{h[1], shown};
        }
        h[1] = shown;
    }
}

void modernPageBytes(const OutputPage &page, QByteArray &bytes) {
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QString title;
    appendEscapedXml(title, page.title);
    bytes.resize(modernHead.size() + modernAfterTitle.size() + modernMain.size() +
                 modernTail.size() +
                 encoder.requiredSpace(title.size() + page.navigation.size() + page.lead.size() +
                                       page.text.size()));
    char *const begin = bytes.data();
    char *out = copyTo(begin, modernHead);
    out = encoder.appendToBuffer(out, title);
    out = copyTo(out, modernAfterTitle);
    out = encoder.appendToBuffer(out, page.navigation);
    out = copyTo(out, modernMain);
    const QStringView text(page.text);
    out = encoder.appendToBuffer(out, text.left(page.leadAt));
    out = encoder.appendToBuffer(out, page.lead);
    out = encoder.appendToBuffer(out, text.mid(page.leadAt));
    renumberHeadings(begin + modernHead.size(), out);
    out = copyTo(out, modernTail);
    bytes.truncate(out - begin);
}

} // namespace

QString pageTemplate(const QString &title, const QString &body, const QString &style) {
    // Filled by appending, so a title that holds a placeholder sequence such as "%3"
    // is never substituted a second time.
    QString page;
    page.reserve(head.size() + afterTitle.size() + tail.size() + style.size() + title.size() * 2 +
                 body.size() + 2);
    page += head;
    page += style;
    page += QLatin1String("\">");
    appendEscapedXml(page, title);
    page += afterTitle;
    page += body;
    page += tail;
    return page;
}

void pageBytes(const OutputPage &page, QByteArray &bytes) {
    if (!page.templated) {
        bytes = page.text.toLocal8Bit();
        return;
    }
    if (page.modern) {
        modernPageBytes(page, bytes);
        return;
    }
    // The encoder that toLocal8Bit() uses; stateless, so a piece encodes as it would
    // within the whole text (none of the template's pieces ends inside a character).
    QStringEncoder encoder(QStringEncoder::System, QStringEncoder::Flag::Stateless);
    QString title;
    appendEscapedXml(title, page.title);
    static const QLatin1String titleStart("\">");
    // Room for the worst case: resized within the buffer's room, which the caller keeps
    // from page to page, it costs no allocation once it is large enough.
    bytes.resize(head.size() + titleStart.size() + afterTitle.size() + tail.size() +
                 encoder.requiredSpace(title.size() + page.text.size()));
    char *const begin = bytes.data();
    char *out = copyTo(begin, head);
    out = copyTo(out, titleStart);
    out = encoder.appendToBuffer(out, title);
    out = copyTo(out, afterTitle);
    out = encoder.appendToBuffer(out, page.text);
    out = copyTo(out, tail);
    bytes.truncate(out - begin);
}

void appendSummaryTable(QString &out, PageWords *words, const CodeLinks *links) {
    ProgramTables &tables = programTables();
    for (const QString &group : tables.groupList.names())
        tables.groupOrder.append(group);

    // The fixed parts are UTF-16 already: appended as they stand, not widened each time.
    static const QString tableStart =
        QStringLiteral("<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" "
                       "cellspacing=\"0\" border=\"0\" "
                       "fm_widths=\"1.1in,*\" style=\"MultiHeadingTable\">\n");
    static const QString groupStart =
        QStringLiteral("<tr bgcolor=\"#cccccc\"><td valign=\"center\" colspan=\"2\" "
                       "style=\"CellTitle\"><b>");
    static const QString groupEnd = QStringLiteral("</b></td></tr>\n");
    static const QString rowStart = QStringLiteral("<tr><td valign=\"center\"><a href=\"");
    static const QString rowLink = QStringLiteral(".htm\" style=\"Heading\">");
    static const QString rowBrief =
        QStringLiteral("</a></td>                            <td width=\"100%\">");
    static const QString rowEnd = QStringLiteral("</td></tr>\n");
    static const QString tableEnd = QStringLiteral("</table>");

    // One pass over the entries, in key order, collects the rows of every group, so
    // the table costs no more than its size however many groups there are. The table
    // is then written once, through a pointer, into room made for all of it: a
    // header's table runs to megabytes, and growing it row by row copied it again and
    // again, while an append per piece of a row cost more than its copying.
    const QStringList &order = tables.groupOrder.names();
    std::vector<std::vector<const EntryRecord *>> rowsByGroup(size_t(order.size()));
    for (const EntryRecord &entry : tables.entries.inNameOrder()) {
        const qsizetype group = tables.groupOrder.indexOf(entry.group);
        if (group >= 0)
            rowsByGroup[size_t(group)].push_back(&entry);
    }
    // With links the briefs are written first, in the order of the rows, for their size.
    std::vector<QString> linkedBriefs;
    CodeLinks row = links ? *links : CodeLinks();
    qsizetype size = tableStart.size() + tableEnd.size();
    for (qsizetype group = 0; group < order.size(); ++group) {
        size += groupStart.size() + order[group].size() + groupEnd.size();
        for (const EntryRecord *entry : rowsByGroup[size_t(group)]) {
            size += rowStart.size() + rowLink.size() + rowBrief.size() + rowEnd.size() +
                    2 * entry->name.size();
            if (links) {
                QString brief;
                row.self = entry->name; // beside its own link
                appendLinkedText(brief, entry->brief, row);
                size += brief.size();
                linkedBriefs.push_back(std::move(brief));
            } else {
                size += escapedXmlSize(entry->brief);
            }
        }
    }
    size_t briefIndex = 0;
    const qsizetype start = out.size();
    out.resize(start + size);
    QChar *at = copyTo(out.data() + start, tableStart);
    for (qsizetype group = 0; group < order.size(); ++group) {
        at = copyTo(at, groupStart);
        at = copyTo(at, order[group]);
        at = copyTo(at, groupEnd);
        for (const EntryRecord *entry : rowsByGroup[size_t(group)]) {
            at = copyTo(at, rowStart);
            at = copyTo(at, entry->name);
            at = copyTo(at, rowLink);
            at = copyTo(at, entry->name);
            at = copyTo(at, rowBrief);
            at = links ? copyTo(at, linkedBriefs[briefIndex++]) : copyEscapedXml(at, entry->brief);
            at = copyTo(at, rowEnd);
        }
    }
    at = copyTo(at, tableEnd);
    Q_ASSERT(at == out.constData() + out.size());
    if (!words)
        return;
    for (qsizetype group = 0; group < order.size(); ++group) {
        words->prose += order[group] + u'\n';
        for (const EntryRecord *entry : rowsByGroup[size_t(group)])
            words->prose += entry->name + u'\n' + entry->brief + u'\n';
    }
}
