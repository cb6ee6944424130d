#include "colouring/colourcode.h"
#include "common/findeither.h"
#include "common/texthash.h"
#include "docgen/blockstate.h"
#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/filesread.h"
#include "docgen/htmltext.h"
#include "docgen/interpreter.h"
#include "docgen/product.h"
#include "docgen/programtables.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cstring>
#include <unordered_map>

// The commands that give a document its structure: headings, pages and contents,
// code blocks, included files, lists and tables.

namespace {

QString escaped(const QString &text) {
    return escapeXml(text);
}

// Appends open + escaped text + close after closing every block.
void wrapped(MarkupInterpreter &in, QLatin1String open, const QString &text, QLatin1String close,
             WordsPart part = WordsPart::Prose) {
    in.closeBlocks();
    QString &body = in.doc.pageBody;
    body += open;
    appendEscapedXml(body, text);
    body += close;
    in.doc.addWords(part, text);
    in.doc.endWordsBlock();
}

// A file's bytes taken one per character, up to the first NUL byte. Empty when the
// file cannot be read.
bool readLatin1File(const QString &fileName, QString &content) {
    QByteArray bytes;
    const int error = readWholeFile(fileName, bytes);
    // Text lost to a failed read stops the run once the input is processed.
    recordReadFailure(fileName, error);
    if (error != 0 && bytes.isEmpty())
        return false;
    recordFileRead(fileName);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    content = QString::fromLatin1(bytes);
    return true;
}

// Skips the spaces and line ends after a list command that is followed by either.
void skipBlankAfterListCommand(MarkupInterpreter &in) {
    if (*in.cursor != u' ' && *in.cursor != u'\n')
        return;
    while (*in.cursor == u' ' || *in.cursor == u'\n')
        ++in.cursor;
}

void document(MarkupInterpreter &in) {
    wrapped(in, QLatin1String("<document>"), in.readLine(), QLatin1String("</document>"));
}

void subtitle(MarkupInterpreter &in) {
    wrapped(in, QLatin1String("<subtitle>"), in.readLine(), QLatin1String("</subtitle>"));
}

void title(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    const QString text = in.readLine();
    if (doc.pageName.isEmpty())
        doc.contentsLines.append(QLatin1String("<content title=\"") + text + QLatin1String("\">"));
    doc.setTitle(text);
    if (doc.formatName == QLatin1String("html"))
        wrapped(in, QLatin1String("<h1>"), text, QLatin1String("</h1>"), WordsPart::Heading);
}

void sectionHeading(MarkupInterpreter &in, const QString &text, int depth) {
    in.closeBlocks();
    const int level = in.doc.mode != ModeBodies ? depth + 1 : in.doc.contentsLevel + depth;
    appendHeading(in.doc.pageBody, level, text);
    in.doc.addWords(WordsPart::Heading, text);
    in.doc.endWordsBlock();
}

void section(MarkupInterpreter &in) {
    sectionHeading(in, in.readLine(), 1);
}

void overview(MarkupInterpreter &in) {
    sectionHeading(in, QStringLiteral("Overview"), 1);
}

void subsection(MarkupInterpreter &in) {
    sectionHeading(in, in.readLine(), 2);
}

void namedHeading(MarkupInterpreter &in) {
    const QString name = in.commandName.toString();
    in.closeBlocks();
    const QString text = in.readLine();
    QString &body = in.doc.pageBody;
    body += QLatin1Char('<');
    body += name;
    body += QLatin1Char('>');
    appendEscapedXml(body, text);
    body += QLatin1String("</");
    body += name;
    body += QLatin1Char('>');
    in.doc.addWords(WordsPart::Heading, text);
    in.doc.endWordsBlock();
}

void style(MarkupInterpreter &in) {
    programTables().paragraphTag = in.readWord();
    switchBlock(in.doc, BlockParagraph);
}

void copy(MarkupInterpreter &in) {
    const QString text = in.readLine();
    in.closeBlocks();
    in.doc.pageBody += text;
    in.doc.addWords(WordsPart::Prose, text, true);
    in.doc.endWordsBlock();
}

void warnUnreadable(MarkupInterpreter &in, const QString &fileName, const char *whatHappens) {
    in.warn(in.commandStart,
            QStringLiteral("cannot read file '%1' of '\\%2'; %3")
                .arg(fileName, in.commandName, QLatin1String(whatHappens)),
            "missing-file");
}

// A language that has no colourer leaves the sample uncoloured. "plain" and "verbatim"
// (and no language at all) ask for exactly that.
void checkLanguage(MarkupInterpreter &in, const QString &language) {
    if (in.warnings && !language.isEmpty() && language != QLatin1String("plain") &&
        language != QLatin1String("verbatim") && !cachedColourer(language))
        in.warn(
            in.commandStart,
            QStringLiteral("unknown code language '%1'; the sample is not coloured").arg(language),
            "unknown-language");
}

// Remembers the command that opened a code block, table or matrix.
void noteBlockOpener(MarkupInterpreter &in) {
    if (in.warnings) {
        in.blockOpener = in.commandStart;
        in.blockOpenerName = in.commandName.toString();
    }
}

void copyin(MarkupInterpreter &in) {
    const QString fileName = in.readLine();
    in.closeBlocks();
    QString content;
    if (readLatin1File(fileName, content)) {
        in.doc.pageBody += content;
        in.doc.addWords(WordsPart::Prose, content, true);
        in.doc.endWordsBlock();
    } else if (in.warnings)
        warnUnreadable(in, fileName, "nothing is copied");
}

void pre(MarkupInterpreter &in) {
    noteBlockOpener(in);
    skipToBlockText(in.cursor);
    switchBlock(in.doc, BlockCode);
}

// A coloured sample without "\endcode" takes the rest of the text: in a manual that is
// the rest of the manual, which may run through files included after the sample, or
// through the rest of the file that included the sample's own. The warning says where
// the sample ends and which other files it takes in.
void warnUnclosedSample(MarkupInterpreter &in, const QString &language) {
    // The text's lines are joined by line ends, with none after the last: its end
    // stands on its last line.
    const LineOrigins::Origin end = in.originOf(in.textEnd);
    const char *text = in.entity ? "comment" : in.doc.sourceRoot ? "overview" : "manual";
    QString message = QStringLiteral("'\\code{%1}' is never closed by '\\endcode'; everything "
                                     "after it up to %2:%3, where the %4 ends, becomes the "
                                     "sample")
                          .arg(language, end.file, QString::number(end.line), QLatin1String(text));
    if (!in.entity)
        message += QLatin1String(" (later pages included)");
    const std::vector<LineOrigins::Origin> files = in.otherFiles(in.commandStart, in.textEnd);
    for (const LineOrigins::Origin &file : files) {
        message += &file == files.data() ? QLatin1String(", swallowing ") : QLatin1String(", ");
        message += QStringLiteral("'%1' from line %2").arg(file.file, QString::number(file.line));
    }
    in.warn(in.commandStart, message, "unclosed-block");
}

// "\code{language}" colours everything up to "\endcode" as one sample; a plain
// "\code" is a preformatted block whose commands are still interpreted.
void code(MarkupInterpreter &in) {
    if (!in.nextIs(u'{')) {
        pre(in);
        return;
    }
    const QString language = in.readWord();
    checkLanguage(in, language);
    skipToBlockText(in.cursor);
    const QChar *start = in.cursor;
    const QChar *end = in.textEnd;
    static const char endCode[] = "\\endcode";
    const qsizetype found = indexOfText(QStringView(start, end), endCode);
    if (found < 0 && in.warnings)
        warnUnclosedSample(in, language);
    const QChar *codeEnd = found < 0 ? end : start + found;
    in.cursor = found < 0 ? end : codeEnd + qsizetype(sizeof endCode - 1);
    switchBlock(in.doc, BlockCode);
    appendColouredCode(in.doc.pageBody, QStringView(start, int(codeEnd - start)), language,
                       in.doc.codeLinks(in.entity ? QStringView(in.entity->name) : QStringView()));
    in.doc.addWords(WordsPart::Code, QStringView(start, codeEnd));
    in.closeBlocks();
}

void present(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    const bool insideCode = doc.blockState == BlockCode;
    const bool languageGiven = in.nextIs(u'{');
    QString language = languageGiven ? in.readWord() : QString();
    const QString fileName = in.readLine();
    checkLanguage(in, language);
    switchBlock(doc, BlockCode);
    QString content;
    if (!readLatin1File(fileName, content)) {
        if (in.warnings)
            warnUnreadable(in, fileName, "a 'not found' marker is written instead");
        doc.pageBody += QLatin1String("***") + fileName + QLatin1String(" not found ***");
        doc.addWords(WordsPart::Code,
                     QString(QLatin1String("***") + fileName + QLatin1String(" not found ***")));
        if (!insideCode)
            in.closeBlocks();
        return;
    }
    content.replace(QLatin1String("$(LICENSE)"), QLatin1String(product::copyrightNotice));
    if (!languageGiven)
        language = languageForSuffix(QFileInfo(fileName).suffix());
    doc.addWords(WordsPart::Code, content);
    if (insideCode) {
        appendEscapedXml(doc.pageBody, content);
        return;
    }
    appendColouredCode(doc.pageBody, content, language,
                       doc.codeLinks(in.entity ? QStringView(in.entity->name) : QStringView()));
    in.closeBlocks();
}

// "endcode", "endpre", "endtable" and "endmatrix" close whatever block is open.
void closeBlocksCommand(MarkupInterpreter &in) {
    in.blockOpener = nullptr;
    in.closeBlocks();
}

void checkSplitName(MarkupInterpreter &in, const QString &name) {
    if (name.isEmpty())
        return;
    const QString fileName =
        name.endsWith(QLatin1String(".htm")) ? name : name + QLatin1String(".htm");
    if (QFileInfo(name).isAbsolute() || QDir::cleanPath(name).startsWith(QLatin1String("..")))
        in.warn(in.commandStart,
                QStringLiteral("page name '%1' leaves the working directory; the page is written "
                               "outside the documentation folder")
                    .arg(name),
                "page-outside");
    if (diagnostics().claimPage(fileName) != Diagnostics::Fresh)
        in.warn(in.commandStart,
                QStringLiteral("page '%1' is split twice in this run; the later page replaces "
                               "the earlier")
                    .arg(name),
                "duplicate-page");
}

void split(MarkupInterpreter &in) {
    const QString name = in.readWord();
    if (in.warnings) {
        in.checkBlockClosed("the next page");
        checkSplitName(in, name);
    }
    in.closeBlocks();
    in.doc.startPage(name, false);
}

void finishContentsPage(DocGen &doc) {
    doc.closeContentsLevels();
    doc.flushPage();
}

void contents(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    const QString line = in.readLine();
    const QString word = line.trimmed();
    if (word == QLatin1String("down")) {
        ++doc.contentsLevel;
    } else if (word == QLatin1String("up")) {
        if (doc.contentsLevel != 0)
            --doc.contentsLevel;
        finishContentsPage(doc);
    } else if (word == QLatin1String("top")) {
        doc.contentsLevel = 0;
        finishContentsPage(doc);
    } else if (word == QLatin1String("sync")) {
        finishContentsPage(doc);
    } else if (line.startsWith(u'<')) {
        doc.contentsLines.append(line);
    }
}

void begin(MarkupInterpreter &in) {
    in.doc.contentsLines.append(QLatin1String("<content title=\"") + escaped(in.readLine()) +
                                QLatin1String("\">"));
}

void end(MarkupInterpreter &in) {
    in.doc.contentsLines.append(QStringLiteral("</content>"));
}

void rawcontent(MarkupInterpreter &in) {
    in.doc.contentsLines.append(in.readLine());
}

// Contents files and pages named by an include join the contents; manual sources
// were already spliced in before the text reached the interpreter.
void include(MarkupInterpreter &in) {
    const QString name = in.readLine();
    QStringList &lines = in.doc.contentsLines;
    if (name.endsWith(QLatin1String(".xml"))) {
        lines.append(QLatin1String("<include filename=\"") + name +
                     (name.startsWith(QLatin1String("gnu_"))
                          ? QLatin1String("\" />")
                          : QLatin1String("\" no_root=\"1\" />")));
    } else if (name.endsWith(QLatin1String(".htm"))) {
        lines.append(QLatin1String("<content url=\"") + name + QLatin1String("\" />"));
    }
}

void line(MarkupInterpreter &in) {
    in.doc.lineNumber = in.readWord().toInt();
}

void here(MarkupInterpreter &) {}

void item(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    const QString term = in.nextIs(u'{') ? in.readWord() : QString();
    if (doc.blockState == BlockBulletList)
        doc.pageBody += QLatin1String("</li>\n<li>");
    else if (doc.blockState == BlockDefinitionList)
        doc.pageBody += QLatin1String("</dt>\n<dd>");
    else
        switchBlock(doc, BlockBulletList);
    doc.endWordsBlock();
    skipBlankAfterListCommand(in);
    if (!term.isEmpty()) {
        doc.pageBody += QLatin1String("<i>") + escaped(term) + QLatin1String("</i>:&nbsp;&nbsp;");
        doc.addWords(WordsPart::Prose, QString(term + QLatin1String(":  ")));
    }
}

void term(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    if (doc.blockState == BlockDefinitionList)
        doc.pageBody += QLatin1String("</dd>\n<dt>");
    else
        switchBlock(doc, BlockDefinitionList);
    doc.endWordsBlock();
    skipBlankAfterListCommand(in);
}

void step(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    if (doc.blockState == BlockNumberedList)
        doc.pageBody += QLatin1String("</li>\n<li>");
    else
        switchBlock(doc, BlockNumberedList);
    doc.endWordsBlock();
}

// One column width in inches: "*" takes what remains of the 5 inch text width, "in"
// and "cm" give their units, anything else is a number of inches.
// Widths recur like their texts (see inchesText), and reading a number costs as much
// as writing one: the widths already read are kept too.
double columnInches(const QString &part, double remaining) {
    if (part == QLatin1String("*"))
        return remaining;
    static std::unordered_map<QString, double, TextHash> read;
    if (const auto found = read.find(part); found != read.end())
        return found->second;
    if (read.size() >= 1024)
        read.clear();
    double inches;
    if (part.endsWith(QLatin1String("in")))
        inches = part.chopped(2).toDouble();
    else if (part.endsWith(QLatin1String("cm")))
        inches = part.chopped(2).toDouble() / 2.54;
    else
        inches = part.toDouble();
    read.emplace(part, inches);
    return inches;
}

// A column width as the table's widths attribute gives it ("1.5in"). Formatting a
// number costs thousands of instructions and a manual's tables use a few widths over
// and over: the texts already made are kept (a bounded number of them).
QString inchesText(double inches) {
    static QHash<quint64, QString> made;
    quint64 key;
    std::memcpy(&key, &inches, sizeof key);
    if (const auto found = made.constFind(key); found != made.cend())
        return *found;
    if (made.size() >= 1024)
        made.clear();
    return *made.insert(key, QString::number(inches, 'g', 6) + QLatin1String("in"));
}

void table(MarkupInterpreter &in) {
    const QStringList parts = in.readWord().split(u',');
    double remaining = 5.0;
    QString widths;
    for (const QString &part : parts) {
        const double inches = columnInches(part, remaining);
        remaining -= inches;
        if (!widths.isEmpty())
            widths += QLatin1Char(',');
        widths += inchesText(inches);
    }
    noteBlockOpener(in);
    switchBlock(in.doc, BlockTable, QString::number(parts.size()), widths);
    in.tableRow = in.tableCell = 0;
}

void matrix(MarkupInterpreter &in) {
    DocGen &doc = in.doc;
    const QString columns = in.readWord();
    doc.matrixColumns = int(qMin<qsizetype>(columns.count(u',') + 1, INT_MAX));
    doc.matrixColumnPercent = 100 / doc.matrixColumns - 3;
    noteBlockOpener(in);
    switchBlock(doc, BlockMatrix, QString::number(doc.matrixColumns),
                QStringLiteral("2in,2in,2in"));
    in.tableRow = in.tableCell = 0;
}

void endmatrix(MarkupInterpreter &in) {
    // The last row is filled up with empty cells.
    for (; in.tableCell < in.doc.matrixColumns; ++in.tableCell)
        in.doc.pageBody += QLatin1String("</td>\n<td valign=\"top\">\n");
    closeBlocksCommand(in);
}

} // namespace

void addStructureCommands(CommandTable &t) {
    t.add("document", document);
    t.add("subtitle", subtitle);
    t.add("title", title);
    t.add("section", section);
    t.add("overview", overview);
    t.add("subsection", subsection);
    t.add("h1", namedHeading);
    t.add("h2", namedHeading);
    t.add("h3", namedHeading);
    t.add("style", style);
    t.add("copy", copy);
    t.add("copyin", copyin);
    t.add("present", present);
    t.add("code", code);
    t.add("pre", pre);
    t.add("endcode", closeBlocksCommand);
    t.add("endpre", closeBlocksCommand);
    t.add("endtable", closeBlocksCommand);
    t.add("split", split);
    t.add("contents", contents);
    t.add("begin", begin);
    t.add("end", end);
    t.add("rawcontent", rawcontent);
    t.add("include", include);
    t.add("line", line);
    t.add("here", here);
    t.add("item", item);
    t.add("term", term);
    t.add("step", step);
    t.add("table", table);
    t.add("matrix", matrix);
    t.add("endmatrix", endmatrix);
}
