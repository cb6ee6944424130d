#include "docgen/blockstate.h"

#include "common/asciimatch.h"
#include "common/textappender.h"

#include "docgen/docgen.h"
#include "docgen/programtables.h"

namespace {

// Whether a block in state old stays open when state next is asked for.
bool staysOpen(int old, int next) {
    if (next == old)
        return true;
    switch (old) {
    case BlockBulletList:
    case BlockNumberedList:
    case BlockCode:
    case BlockMatrix:
        return next == BlockParagraph;
    case BlockDefinitionList:
        return next == BlockParagraph || next == BlockDefinitionList;
    case BlockTable:
        return next == BlockParagraph || next == BlockTable;
    default:
        return false;
    }
}

// Appends the name of the paragraph element to body.
void appendParagraphTagName(TextAppender &body) {
    const QString &tag = programTables().paragraphTag;
    if (tag.isEmpty())
        body += QLatin1Char('p');
    else
        body += tag;
}

// Appends the start tag of a table or matrix: the pieces go straight into the page
// rather than into a string that is then copied there.
void appendTableStart(TextAppender &body, QLatin1String opening, const QString &columns,
                      const QString &widths) {
    body += opening;
    body += columns;
    body += QLatin1String("\" fm_widths=\"");
    body += widths;
    body += QLatin1String("\">\n");
}

// A code block does not end in blank space: trailing line ends, breaks and no-break
// spaces are taken off before it closes.
void trimCodeTail(QString &body) {
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        const auto trim = [&](const auto &tail) {
            if (endsWithText(body, tail)) {
                body.chop(qsizetype(sizeof tail - 1));
                trimmed = true;
            }
        };
        trim("&nbsp;");
        trim("<br/>");
        trim("\n");
    }
}

void close(DocGen &docGen, int state) {
    TextAppender body(docGen.pageBody);
    switch (state) {
    case BlockParagraph:
        body += QLatin1String("</");
        appendParagraphTagName(body);
        body += QLatin1Char('>');
        programTables().paragraphTag = QStringLiteral("p");
        break;
    case BlockBulletList:
        body += QLatin1String("</li></ul>");
        break;
    case BlockDefinitionList:
        body += QLatin1String("</dd></dl>");
        break;
    case BlockNumberedList:
        body += QLatin1String("</li></ol>");
        break;
    case BlockCode:
        trimCodeTail(docGen.pageBody);
        body += QLatin1String("</pre>");
        break;
    case BlockTable:
    case BlockMatrix:
        body += QLatin1String("</td></tr></table>");
        break;
    default:
        break;
    }
}

void open(DocGen &docGen, int state, const QString &columns, const QString &widths) {
    TextAppender body(docGen.pageBody);
    switch (state) {
    case BlockParagraph:
        body += QLatin1Char('<');
        appendParagraphTagName(body);
        body += QLatin1Char('>');
        break;
    case BlockBulletList:
        body += QLatin1String("<ul><li>");
        break;
    case BlockDefinitionList:
        body += QLatin1String("<dl><dt>");
        break;
    case BlockNumberedList:
        body += QLatin1String("<ol><li>");
        break;
    case BlockCode:
        body += QLatin1String("\n<pre class=\"qgn-code\">");
        break;
    case BlockTable:
        appendTableStart(body,
                         QLatin1String("<table bgcolor=\"#f0f0f0\" width=\"100%\" "
                                       "cellpadding=\"2\" cellspacing=\"2\" border=\"0\" cols=\""),
                         columns, widths);
        break;
    case BlockMatrix: {
        appendTableStart(body,
                         QLatin1String("<table bgcolor=\"#f0f0f0\" width=\"100%\" "
                                       "cellpadding=\"0\" cellspacing=\"4\" border=\"0\" cols=\""),
                         columns, widths);
        const QString column = QLatin1String("<col width=\"") +
                               QString::number(docGen.matrixColumnPercent) + QLatin1String("%\"/>");
        for (int i = 0; i < docGen.matrixColumns; ++i)
            body += column;
        break;
    }
    default:
        break;
    }
}

} // namespace

void switchBlock(DocGen &docGen, int state, const QString &columns, const QString &widths) {
    const int old = docGen.blockState;
    if (staysOpen(old, state))
        return;
    close(docGen, old);
    docGen.endWordsBlock();
    open(docGen, state, columns, widths);
    docGen.blockState = state;
}
