#include "docgen/interfacecommands.h"

#include "colouring/htmlescape.h"
#include "docgen/blockstate.h"
#include "docgen/docgen.h"
#include "docgen/interfacetables.h"
#include "docgen/interpreter.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cstdio>

// The commands that describe the user interface: menu paths, accelerators and tooltips
// come from the program-wide message table and menu definitions, so a manual names an
// action and stays right when its menu or key changes.

namespace {

// Diagnostics are single lines. Debug lines go to standard error; the "choose" errors
// go to standard output, where they appear among the tool's progress.
void debugLine(const QString &text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void errorLine(const QString &text) {
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

QString caption(const QDomElement &menu) {
    return menu.attribute(QStringLiteral("caption")).remove(QLatin1Char('&'));
}

QString bold(const QString &text) {
    return QLatin1String("<b>") + text + QLatin1String("</b>");
}

void warnMissingAction(MarkupInterpreter &in, const QString &action, const char *what,
                       const char *instead) {
    in.warn(in.commandStart,
            QStringLiteral("action '%1' of '\\%2' has no %3 in the menu definitions; %4")
                .arg(action, in.commandName, QLatin1String(what), QLatin1String(instead)),
            "unknown-action");
}

void appendChooseSentence(MarkupInterpreter &in, const char *chooseVerb, const char *pressVerb) {
    // No paragraph is opened: the sentence joins whatever is being written.
    const QString action = in.readWord();
    const QString sentence =
        chooseSentence(action, QLatin1String(chooseVerb), QLatin1String(pressVerb));
    if (in.warnings && sentence == QLatin1String("***ERROR***"))
        warnMissingAction(in, action, "menu path or key", "'***ERROR***' is written");
    in.doc.pageBody += sentence;
    in.doc.addWords(WordsPart::Prose, sentence, true);
}

void choose(MarkupInterpreter &in) {
    appendChooseSentence(in, "choose", "press");
}

void chooseCapital(MarkupInterpreter &in) {
    appendChooseSentence(in, "Choose", "Press");
}

void choosing(MarkupInterpreter &in) {
    appendChooseSentence(in, "choosing", "pressing");
}

void choosingCapital(MarkupInterpreter &in) {
    appendChooseSentence(in, "Choosing", "Pressing");
}

void menu(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QString word = in.readWord();
    QString path;
    if (word.contains(QLatin1Char('>'))) {
        path = word; // a path written out by the author
    } else {
        path = menuPath(word);
        if (path.isEmpty()) {
            debugLine(QLatin1String("\\menu Can't find ") + word);
            if (in.warnings)
                warnMissingAction(in, word, "menu path", "an empty path is written");
        }
    }
    in.doc.pageBody += QLatin1String("<b>");
    appendEscapedXml(in.doc.pageBody, path);
    in.doc.pageBody += QLatin1String("</b>");
    in.doc.addWords(WordsPart::Prose, path);
}

// Whether a "key" argument is a key written out (Ctrl+O, F5, Enter) rather than the
// name of an action: written out, it is shown as it stands and is no mistake.
bool isWrittenOutKey(const QString &word) {
    static const QSet<QString> names = {
        QStringLiteral("Alt"),    QStringLiteral("Backspace"), QStringLiteral("Ctrl"),
        QStringLiteral("Del"),    QStringLiteral("Delete"),    QStringLiteral("Down"),
        QStringLiteral("End"),    QStringLiteral("Enter"),     QStringLiteral("Esc"),
        QStringLiteral("Escape"), QStringLiteral("Home"),      QStringLiteral("Ins"),
        QStringLiteral("Insert"), QStringLiteral("Left"),      QStringLiteral("PageDown"),
        QStringLiteral("PageUp"), QStringLiteral("PgDn"),      QStringLiteral("PgUp"),
        QStringLiteral("Return"), QStringLiteral("Right"),     QStringLiteral("Shift"),
        QStringLiteral("Space"),  QStringLiteral("Tab"),       QStringLiteral("Up"),
    };
    static const QRegularExpression functionKey(QStringLiteral("^F[0-9]{1,2}$"));
    return word.size() == 1 || word.contains(u'+') || names.contains(word) ||
           functionKey.match(word).hasMatch();
}

void key(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QString word = in.readWord();
    const QString accelerator = interfaceTables().message(word + QLatin1String(".key"));
    if (accelerator.isEmpty() && in.warnings && !isWrittenOutKey(word))
        warnMissingAction(in, word, "key", "the action's name is written");
    in.doc.pageBody += bold(accelerator.isEmpty() ? word : accelerator);
    in.doc.addWords(WordsPart::Prose, accelerator.isEmpty() ? word : accelerator, true);
}

void tip(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QString word = in.readWord();
    const QString text = interfaceTables().message(word + QLatin1String(".tip"));
    if (text.isEmpty() && in.warnings)
        warnMissingAction(in, word, "tip", "an error marker is written");
    // A missing tooltip is left visible in the page so that a proofreader finds it.
    const QString shown = text.isEmpty() ? bold(QLatin1String("***ERROR NO TIP*** ") + word) : text;
    in.doc.pageBody += shown;
    in.doc.addWords(WordsPart::Prose, shown, true);
}

void ui(MarkupInterpreter &in) {
    switchBlock(in.doc, BlockParagraph);
    const QString word = in.readWord();
    in.doc.pageBody += QLatin1String("<b>");
    appendEscapedXml(in.doc.pageBody, word);
    in.doc.pageBody += QLatin1String("</b>");
    in.doc.addWords(WordsPart::Prose, word);
}

} // namespace

QString menuPath(const QString &action) {
    const InterfaceTables &tables = interfaceTables();
    QString path = tables.message(action + QLatin1String(".text"));
    if (path.isEmpty()) {
        debugLine(QLatin1String("Can't find ") + action + QLatin1String(" in message scheme"));
        return QString();
    }
    const QDomElement item = tables.menuItem(action);
    if (item.isNull()) {
        debugLine(QLatin1String("Can't find ") + action + QLatin1String(" in any menu"));
        return QString();
    }
    // Captions are collected from the item upwards and joined once, so that deeply
    // nested menus cost time in proportion to their depth.
    QStringList parts{path};
    for (QDomNode parent = item.parentNode();; parent = parent.parentNode()) {
        const QString tag = parent.nodeName();
        if (tag == QLatin1String("menu")) {
            parts.append(caption(parent.toElement()));
        } else if (tag == QLatin1String("definemenu")) {
            parts.append(caption(parent.toElement()));
            break;
        } else {
            debugLine(QLatin1String("Unprocessed tag") + tag);
            break;
        }
    }
    std::reverse(parts.begin(), parts.end());
    return parts.join(QLatin1String(" > "));
}

QString chooseSentence(const QString &action, const QString &chooseVerb, const QString &pressVerb) {
    if (action.isEmpty()) {
        errorLine(QStringLiteral("error: docgen: choose has empty action name"));
        return QStringLiteral("***ERROR***");
    }
    const QString path = menuPath(action);
    const QString key = interfaceTables().message(action + QLatin1String(".key"));
    if (path.isEmpty() && key.isEmpty()) {
        errorLine(QLatin1String("error: docgen: missing both menu path and accelerator for ") +
                  action);
        return QStringLiteral("***ERROR***");
    }
    if (key.isEmpty())
        return chooseVerb + QLatin1Char(' ') + bold(path);
    if (path.isEmpty())
        return pressVerb + QLatin1Char(' ') + bold(key);
    return chooseVerb + QLatin1Char(' ') + bold(path) + QLatin1String(" or ") +
           pressVerb.toLower() + QLatin1Char(' ') + bold(key);
}

void addInterfaceCommands(CommandTable &t) {
    t.add("choose", choose);
    t.add("Choose", chooseCapital);
    t.add("choosing", choosing);
    t.add("Choosing", choosingCapital);
    t.add("menu", menu);
    t.add("key", key);
    t.add("tip", tip);
    t.add("ui", ui);
}
