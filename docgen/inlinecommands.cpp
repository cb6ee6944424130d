#include "common/simplify.h"
#include "common/textappender.h"
#include "docgen/blockstate.h"
#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/htmltext.h"
#include "docgen/iconfiles.h"
#include "docgen/interpreter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The commands that write into running text: styled words, special characters, images
// and links. Each first asks for a paragraph, which opens one outside any block and
// changes nothing inside a paragraph, list, table or code block, so they work anywhere.

namespace {

struct StyledWord {
    const char *name;
    const char *prefix;
    const char *suffix;
};

// Commands that wrap their word argument, escaped, in a fixed prefix and suffix.
constexpr StyledWord styledWords[] = {
    {"b", "<b>", "</b>"},         {"a", "<b>", "</b>"},         {"f", "<b>", "</b>"},
    {"m", "<b>", "</b>"},         {"u", "<u>", "</u>"},         {"bi", "<b><i>", "</i></b>"},
    {"i", "<i>", "</i>"},         {"em", "<i>", "</i>"},        {"e", "<i>", "</i>"},
    {"big", "<big>", "</big>"},   {"tt", "<tt>", "</tt>"},      {"c", "<tt>", "</tt>"},
    {"file", "<tt>", "</tt>"},    {"p", "<tt>", "</tt>"},       {"sub", "<sub>", "</sub>"},
    {"sup", "<sup>", "</sup>"},   {"dq", "&ldquo;", "&rdquo;"}, {"q", "&lsquo;", "&rsquo;"},
    {"sq", "&lsquo;", "&rsquo;"},
};

struct CharacterName {
    const char *name;
    const char *text;
    // Whether a "~" right after the name is swallowed, so that a word can follow the
    // character without a space. The markup characters keep their "~".
    bool takesTilde;
};

constexpr CharacterName characterNames[] = {
    {"@", "@", false},
    {"$", "$", false},
    {"&", "&amp;", false},
    {"|", "|", false},
    {"<", "&lt;", false},
    {"lt", "&lt;", false},
    {">", "&gt;", false},
    {"gt", "&gt;", false},
    {"\\", "&#x5c;", false},
    {",", "&#x202f;", false},
    {"-", "&ndash;", false},
    {"--", "&mdash;", false},
    {"or", "&mdash;or&mdash;", true},
    {"plusminus", "&plusmn;", true},
    {"inf", "&#x221e;", true},
    {"pi", "&#x3c0;", true},
    {"theta", "&#x3B8;", true},
    {"psi", "&#x3C8;", true},
    {"phi", "&#x3C6;", true},
    {"half", "&#xbd;", true},
    {"quarter", "&#xbc;", true},
    {"threequarter", "&#xbe;", true},
    {"divslash", "&#x2215;", true},
    {"bullet", "&#x2219;", true},
    {"minus", "&#x2212;", true},
    {"times", "&#xd7;", true},
    {"divide", "&#xf7;", true},
    {"ge", "&#x2265;", true},
    {"le", "&#x2264;", true},
    {"ne", "&#x2260;", true},
    {"up", "&#x2191;", true},
    {"down", "&#x2193;", true},
    {"updown", "&#x2195;", true},
    {"hdots", "&hellip;", true},
    {"vdots", "&#x205e;", true},
    {":", "&#x205e;", true},
};

void appendWrapped(QString &body, QLatin1String prefix, QStringView word, QLatin1String suffix) {
    TextAppender(body) += prefix;
    appendEscapedXml(body, word);
    TextAppender(body) += suffix;
}

void styledWord(MarkupInterpreter &in) {
    // Many commands share this handler; each was added with its row.
    const auto *row = static_cast<const StyledWord *>(in.commandRow);
    switchBlock(in.doc, BlockParagraph);
    const QStringView word = in.readWordView();
    appendWrapped(in.doc.pageBody, QLatin1String(row->prefix), word, QLatin1String(row->suffix));
    in.doc.addWords(WordsPart::Prose, QString(QLatin1String(row->prefix)), true);
    in.doc.addWords(WordsPart::Prose, word);
    in.doc.addWords(WordsPart::Prose, QString(QLatin1String(row->suffix)), true);
}

// What the reader types, in bold; in HTML followed by the return-key arrow.
void input(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QLatin1String suffix = in.doc.formatName == QLatin1String("html")
                                     ? QLatin1String("</b> &#8629;")
                                     : QLatin1String("</b>");
    const QStringView word = in.readWordView();
    appendWrapped(in.doc.pageBody, QLatin1String("<b>"), word, suffix);
    in.doc.addWords(WordsPart::Prose, word);
    in.doc.addWords(WordsPart::Prose, QString(suffix), true);
}

void lineBreak(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    in.doc.pageBody += QLatin1String("<br/>");
    in.doc.endWordsBlock();
}

void character(MarkupInterpreter &in) {
    const auto *row = static_cast<const CharacterName *>(in.commandRow);
    switchBlock(in.doc, BlockParagraph);
    in.doc.pageBody += QLatin1String(row->text);
    in.doc.addWords(WordsPart::Prose, QString(QLatin1String(row->text)), true);
    if (row->takesTilde)
        in.take(u'~');
}

// An image name without a suffix is taken to be a PNG file.
QString imageFile(const QString &name) {
    if (QFileInfo(name).completeSuffix().isEmpty())
        return name + QLatin1String(".png");
    return name;
}

// Splits the white-space-collapsed text at its first space.
void splitFirstWord(QString text, QString &first, QString &rest) {
    // Most arguments are one name, simple already: kept, not copied.
    const QString collapsed = simplified(std::move(text));
    const qsizetype space = collapsed.indexOf(QLatin1Char(' '));
    first = space < 0 ? collapsed : collapsed.left(space);
    rest = space < 0 ? QString() : collapsed.mid(space + 1);
}

// The folder that relative links and images of the page being built start from: the
// folder of the page's file as it is written, as a prefix ("" for the working
// directory, else ending in "/"), so that a link to a page of the same folder reads as
// that page's own name. False when the text is on no page (a manual's text before its
// first split is not written).
bool pageFolder(const DocGen &doc, QString &prefix) {
    if (!doc.pageName.isEmpty()) {
        const QString file = doc.pageFileName();
        prefix = file.left(file.lastIndexOf(u'/') + 1);
        return true;
    }
    if (doc.sourceRoot) { // a header's index page
        prefix = doc.outputDirectory + QLatin1Char('/');
        return true;
    }
    return false;
}

// Records a file that a link or image of the page needs; whether it exists is decided
// when the run has written its last page.
void expectBesidePage(MarkupInterpreter &in, QString target, const char *what, const char *category,
                      const QString &note = QString()) {
    const qsizetype fragment = target.indexOf(u'#');
    if (fragment >= 0)
        target.truncate(fragment);
    QString folder;
    if (target.isEmpty() || target.contains(u':') || !pageFolder(in.doc, folder))
        return;
    const QString path = target.startsWith(u'/') ? target : folder + target;
    in.expectAt(in.commandStart, path, target, what, category, note);
}

// With the manual's pages written elsewhere (manualOutput), an image that a page shows
// by a relative name is copied from beside the page's name in the working directory to
// beside the page. One that would land outside the folder is left where it is.
void copyBesidePage(DocGen &doc, const QString &file) {
    if (doc.manualOutput.isEmpty() || doc.pageName.isEmpty() || file.isEmpty() ||
        file.startsWith(u'/') || file.contains(u':') || doc.pageName.startsWith(u'/'))
        return;
    const QString from =
        QDir::cleanPath(doc.pageName.left(doc.pageName.lastIndexOf(u'/') + 1) + file);
    if (from == QLatin1String("..") || from.startsWith(QLatin1String("../")))
        return;
    doc.copies.push_back(DocGen::FileCopy{from, doc.manualOutput + u'/' + from});
}

void img(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QString file = imageFile(in.readWord());
    copyBesidePage(in.doc, file);
    if (in.warnings)
        expectBesidePage(in, file, "image", "missing-image");
    in.doc.pageBody += QLatin1String("<img src=\"") + file + QLatin1String("\" />");
}

void screen(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    QString file;
    QString alternative;
    splitFirstWord(in.readWord(), file, alternative);
    file = imageFile(file);
    copyBesidePage(in.doc, file);
    if (in.warnings)
        expectBesidePage(in, file, "image", "missing-image");
    QString &body = in.doc.pageBody;
    body += QLatin1String("<img class=\"screen\" src=\"") + file;
    if (alternative.isEmpty())
        body += QLatin1String("\" />");
    else
        body += QLatin1String("\" alt=\"") + alternative + QLatin1String("\"/>");
}

// Writes the named icon as images/<name>.png under the output directory (beside the
// page when the manual's pages go to a folder of their own) and links it from the page,
// relative to the page's own folder. Failures to write the file are not reported: the
// link is written either way. When the page's folder is not where the icon went, the
// link finds it only through a file or link put there by hand.
void icon(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QString name = in.readWord();
    const QByteArray png = iconFile(name);
    if (png.isEmpty()) {
        if (in.warnings)
            in.warn(in.commandStart,
                    QStringLiteral("unknown icon '%1'; nothing is written").arg(name),
                    "unknown-icon");
        return;
    }
    const QString fileName = name + QLatin1String(".png");
    // The driver always passes a directory; without one the current directory is meant.
    QString outputDirectory = in.doc.outputDirectory;
    if (!in.doc.manualOutput.isEmpty()) {
        QString folder;
        outputDirectory = pageFolder(in.doc, folder) ? folder : in.doc.manualOutput;
        if (outputDirectory.endsWith(u'/'))
            outputDirectory.chop(1);
    }
    const QString directory = outputDirectory.isEmpty()
                                  ? QStringLiteral("images")
                                  : outputDirectory + QLatin1String("/images");
    QDir().mkpath(directory);
    QFile file(directory + QLatin1Char('/') + fileName);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(png) == png.size();
    if (written)
        in.doc.iconsWritten.append(file.fileName());
    if (in.warnings)
        expectBesidePage(in, QLatin1String("images/") + fileName, "icon", "missing-image",
                         QStringLiteral("the icon '%1' %2 '%3'")
                             .arg(name,
                                  written ? QLatin1String("is written to")
                                          : QLatin1String("could not be written to"),
                                  file.fileName()));
    in.doc.pageBody += QLatin1String("<img src=\"images/") + fileName;
    // On a modern page the icon is marked as a picture beside the words that name its
    // action, which a screen reader reads instead.
    if (in.doc.modernPages)
        in.doc.pageBody += QLatin1String("\" alt=\"");
    in.doc.pageBody += QLatin1String("\" />");
}

// "xref", "ref" and "titleref": a target and an optional link text. A recorded page
// name links to its page under its title; another bare name links to name.htm; an
// address with a colon is kept as written. Read in place: a header's pages link on
// almost every page, and the target and text are only ever copied into the page.
void link(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QStringView word = in.readWordView();
    QString collapsed; // the argument, when its white space must be collapsed first
    QStringView argument = word;
    if (!isSimplified(word)) {
        collapsed = word.toString().simplified();
        argument = collapsed;
    }
    const qsizetype space = argument.indexOf(u' ');
    const QStringView target = space < 0 ? argument : argument.left(space);
    QStringView text = space < 0 ? QStringView() : argument.mid(space + 1);
    const QLatin1String htm(".htm");
    bool addHtm = false; // the target gets ".htm" in the link
    QString title;       // the title of the recorded page the target names
    if (text.isEmpty() && !in.doc.splitTitles.empty()) {
        // Looked up through a string that refers to the text, not a copy of it: a
        // manual's links name pages on almost every page.
        const auto page =
            in.doc.splitTitles.find(QString::fromRawData(target.data(), target.size()));
        if (page != in.doc.splitTitles.end()) {
            title = page->second;
            text = title;
            addHtm = !target.endsWith(htm);
        }
    }
    // A name that no page of the run's manuals has but a declaration has links to the
    // declaration's page, from wherever this page is.
    const CodeLinks *declaration = nullptr;
    if (in.doc.declarationPages && in.doc.declarationPages->contains(target) &&
        in.doc.splitTitles.find(QString::fromRawData(target.data(), target.size())) ==
            in.doc.splitTitles.end())
        declaration = in.doc.codeLinks({});
    if (!addHtm && !target.contains(u':') && !target.endsWith(htm)) {
        if (text.isEmpty())
            text = target;
        addHtm = true;
    }
    bool textAddsHtm = false; // the text is the target, ".htm" and all
    if (text.isEmpty()) {
        text = target;
        textAddsHtm = addHtm;
    }
    if (in.warnings && !declaration)
        expectBesidePage(in, addHtm ? target + htm : target.toString(), "link target",
                         "broken-link");

    const bool isTitle = in.commandName == QLatin1String("titleref");
    TextAppender body(in.doc.pageBody);
    if (isTitle)
        body += QLatin1String("<big>");
    body += QLatin1String("<a href=\"");
    if (declaration)
        body += declaration->prefix;
    appendEscapedXml(body, target);
    if (addHtm)
        body += htm;
    // ".htm" holds no colon: whether the link starts with "http:" is the target's.
    body += target.startsWith(QLatin1String("http:")) ? QLatin1String("\" target=\"_blank\">")
                                                      : QLatin1String("\">");
    appendEscapedXml(body, text);
    if (textAddsHtm)
        body += htm;
    body += QLatin1String("</a>");
    if (isTitle)
        body += QLatin1String("</big><br/>");
    in.doc.addWords(WordsPart::Prose, text);
    if (textAddsHtm)
        in.doc.addWords(WordsPart::Prose, u".htm");
    if (isTitle)
        in.doc.endWordsBlock();
}

} // namespace

void addInlineCommands(CommandTable &t) {
    for (const StyledWord &row : styledWords)
        t.add(row.name, styledWord, &row);
    for (const CharacterName &row : characterNames)
        t.add(row.name, character, &row);
    t.add("input", input);
    t.add("n", lineBreak);
    t.add("br", lineBreak);
    t.add("img", img);
    t.add("screen", screen);
    t.add("icon", icon);
    t.add("xref", link);
    t.add("ref", link);
    t.add("titleref", link);
}
