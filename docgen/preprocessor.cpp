#include "docgen/preprocessor.h"

#include "docgen/docgen.h"
#include "docgen/interpreter.h"
#include "docgen/product.h"
#include "docgen/textlines.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QStringView>

#include <vector>

// Phase 1 reads the source and the sources it includes line by line, dropping
// comment lines and the variant sections that do not belong to this build. Phase 2
// records the title of every page and hands the surviving text to the interpreter.

namespace {

// The field after the index-th space of text (fields are split at single spaces;
// empty fields count).
QString field(const QString &text, int index) {
    return text.section(u' ', index, index);
}

class Preprocessor {
public:
    explicit Preprocessor(const DocGen &doc) : doc_(doc) {}

    QStringList read(const QString &inputPath);

private:
    struct Inclusion {
        TextLines reader;
        int skipping;
        QString key; // the included file, as held in openFiles_
    };

    void directive(const QString &s);
    void defineMacro(const QString &s);
    // start is the line from its first character that is not white space.
    void ordinaryLine(const QString &line, QStringView start);
    void openInclusion(const QString &path);

    TextLines &reader() { return inclusions_.back().reader; }

    const DocGen &doc_;
    QStringList outputLines_;
    int skipping_ = 0;
    std::vector<int> conditionStack_;
    // The open readers: the input first, then one per open "\include".
    std::vector<Inclusion> inclusions_;
    // Files open on the include stack: including one of them again adds no lines, so
    // a source that includes itself finishes instead of recursing.
    QSet<QString> openFiles_;
    QHash<QString, QString> definitions_;
};

QString fileKey(const QString &path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QStringList Preprocessor::read(const QString &inputPath) {
    const QString key = fileKey(inputPath);
    inclusions_.push_back({TextLines(inputPath), 0, key});
    openFiles_.insert(key);
    QString line;
    for (;;) {
        if (!reader().next(line)) {
            if (inclusions_.size() == 1)
                break;
            // The end of an included file leaves one empty line behind.
            skipping_ = inclusions_.back().skipping;
            openFiles_.remove(inclusions_.back().key);
            inclusions_.pop_back();
            line.clear();
        }
        // Only the first word decides what a line is; most lines are text and need no
        // simplified copy.
        qsizetype i = 0;
        while (i < line.size() && line.at(i).isSpace())
            ++i;
        const QStringView start = QStringView(line).mid(i);
        if (start.startsWith(u'%'))
            continue;
        if (start.startsWith(u'@') && !start.startsWith(u"@("))
            directive(line.simplified());
        else
            ordinaryLine(line, start);
    }
    return outputLines_;
}

void Preprocessor::ordinaryLine(const QString &line, QStringView start) {
    if (skipping_)
        return;
    if (start.startsWith(u"\\include")) {
        const QString name = field(line.simplified(), 1);
        if (name.endsWith(QLatin1String(".dg"))) {
            openInclusion(name);
            return;
        }
    }
    outputLines_.append(line);
}

void Preprocessor::openInclusion(const QString &path) {
    const QString key = fileKey(path);
    const bool alreadyOpen = openFiles_.contains(key);
    inclusions_.push_back(
        {alreadyOpen ? TextLines() : TextLines(path), skipping_, alreadyOpen ? QString() : key});
    if (!alreadyOpen)
        openFiles_.insert(key);
    skipping_ = 0;
}

void Preprocessor::defineMacro(const QString &s) {
    const QString name = field(s, 1);
    QString value = s.section(u' ', 2);
    QString next;
    while (value.endsWith(u'\\') && reader().next(next)) {
        value.chop(1);
        value += next;
    }
    if (!skipping_)
        definitions_.insert(name, value);
}

bool familyIs(const char *family) {
    return qstrcmp(product::targetFamily, family) == 0;
}

void Preprocessor::directive(const QString &s) {
    static const QSet<QString> processorConditions = {
        QStringLiteral("@avr"),   QStringLiteral("@arm"),    QStringLiteral("@msp430"),
        QStringLiteral("@maxq"),  QStringLiteral("@maxq30"), QStringLiteral("@riscv"),
        QStringLiteral("@elide"),
    };
    if (s.startsWith(QLatin1String("@def"))) {
        defineMacro(s);
    } else if (s == QLatin1String("@html") || s == QLatin1String("@print")) {
        skipping_ = QStringView(s).mid(1) == doc_.formatName ? 0 : 1;
    } else if (processorConditions.contains(s)) {
        skipping_ = s.mid(1).toUpper() == QLatin1String(product::targetFamily) ? 0 : 1;
    } else if (s == QLatin1String("@arm_riscv")) {
        skipping_ = familyIs("ARM") || familyIs("RISCV") ? 0 : 1;
    } else if (s == QLatin1String("@codespace")) {
        skipping_ = familyIs("AVR") || familyIs("MAXQ") || familyIs("MAXQ30") ? 0 : 1;
    } else if (s == QLatin1String("@vantor")) {
        conditionStack_.push_back(skipping_);
        if (!skipping_)
            skipping_ = qstrcmp(product::name, "Vantor") == 0 ? 0 : 1;
    } else if (s == QLatin1String("@else")) {
        if (!skipping_)
            skipping_ = 1;
        else if (conditionStack_.empty() || conditionStack_.back() != 1)
            skipping_ = 0;
    } else if (s == QLatin1String("@end")) {
        if (conditionStack_.empty()) {
            skipping_ = 0;
        } else {
            skipping_ = conditionStack_.back();
            conditionStack_.pop_back();
        }
    }
}

// Records the title of every page the text will split into, under its page name.
void recordTitles(DocGen &doc, const QStringList &lines) {
    QString page;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("\\split"))) {
            page = field(line, 1);
        } else if (line.startsWith(QLatin1String("\\title{"))) {
            QString title = line.mid(7).simplified();
            if (title.endsWith(u'}'))
                title.chop(1);
            doc.splitTitles.insert(page, title.simplified());
        } else if (line.startsWith(QLatin1String("\\title"))) {
            doc.splitTitles.insert(page, line.simplified().section(u' ', 1));
        }
    }
}

} // namespace

QStringList readManualSource(const DocGen &doc, const QString &inputPath) {
    return Preprocessor(doc).read(inputPath);
}

void preprocess(DocGen &doc, const QString &inputPath) {
    QString text;
    {
        // The lines go before the interpreter runs: on a big manual they cost as much
        // memory as the joined text again.
        const QStringList lines = readManualSource(doc, inputPath);
        recordTitles(doc, lines);
        text = lines.join(u'\n');
    }
    interpretMarkup(doc, text);

    doc.contentsLevel = 0;
    doc.closeContentsLevels();
    doc.flushPage();
    if (doc.pages)
        doc.pages->append(OutputPage{doc.outputDirectory + QLatin1Char('/') +
                                         QFileInfo(inputPath).baseName() + QLatin1String(".xml"),
                                     QString(), doc.contentsLines.join(u'\n')});
}
