#include "docgen/preprocessor.h"

#include "common/asciimatch.h"
#include "common/findeither.h"
#include "common/simplify.h"
#include "common/texthash.h"
#include "common/wordset.h"

#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/filesread.h"
#include "docgen/interpreter.h"
#include "docgen/product.h"
#include "docgen/textlines.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

// Phase 1 reads the source and the sources it includes line by line, dropping
// comment lines and the variant sections that do not belong to this build, and
// records the title of every page. Phase 2 hands the surviving text to the interpreter.

namespace {

// The index-th of the fields of text between single spaces (empty between two
// spaces in a row), as QString::section() gives it, without splitting all of text.
QString field(QStringView text, int index) {
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype space = indexOfChar(text, u' ', start);
        if (space < 0)
            return QString();
        start = space + 1;
    }
    const qsizetype end = indexOfChar(text, u' ', start);
    return text.mid(start, end < 0 ? -1 : end - start).toString();
}

class Preprocessor {
public:
    using Titles = decltype(DocGen::splitTitles);
    // With origins, the preprocessor also records where each line it keeps came from
    // and warns about what it drops by mistake. The title of every page the kept lines
    // will split into goes to titles under its page name, as the lines are kept: a
    // second pass over a manual of megabytes would cost more.
    Preprocessor(const DocGen &doc, LineOrigins *origins, Titles &titles)
        : doc_(doc), origins_(origins), titles_(titles), warnings_(origins != nullptr) {}

    QString read(const QString &inputPath);
    // After read(): whether no line of the files read held a NUL character, so that
    // the text holds none either.
    bool nulFree() const { return nulFree_; }

private:
    struct Inclusion {
        Inclusion(TextLines lines, int skippingBefore, QString fileKey, QString filePath)
            : reader(std::move(lines)), skipping(skippingBefore), key(std::move(fileKey)),
              path(std::move(filePath)) {}
        TextLines reader;
        int skipping;
        QString key;  // the included file, as held in openFiles_
        QString path; // as written, for warnings
        int line = 0; // one-based number of the line last read
        // The directive that started the section being dropped, while one is.
        int droppingSince = 0;
        QString droppingDirective;
        bool nonAsciiReported = false;
    };

    void directive(QStringView s);
    void defineMacro(const QString &s);
    // start is the line from its first character that is not white space.
    void ordinaryLine(QStringView line, QStringView start);
    // Appends a kept line to the output, after a line end unless it is the first.
    void appendOutput(QStringView line);
    // Writes the lines that appendOutput() holds back.
    void flushRun();
    // A kept line that starts with a command: it may name a page or its title.
    void noteTitle(QStringView line);
    // Leaves the input's own text for output_, before an included file's lines may
    // outgrow what has been read of it.
    void leaveInPlace();
    void openInclusion(const QString &path);
    // The next line, as a view into its file's text: valid while the file is open.
    bool nextLine(QStringView &line);
    void closeInclusion();

    // Warnings, only while warnings_ is set.
    void warn(int line, const QString &message, const char *category);
    void noteOutputLine(QStringView line);
    void noteDroppedInCode(QStringView start);
    void noteSkipping(int before, const QString &directive);

    TextLines &reader() { return inclusions_.back().reader; }

    const DocGen &doc_;
    LineOrigins *origins_;
    Titles &titles_;
    QString titledPage_; // the page that the last "\split" started
    const bool warnings_;
    bool nulFree_ = true;
    // Whether the kept lines have opened a code block that they have not closed yet:
    // a "%" or "@" line there is most likely code that the writer meant to keep.
    bool inCode_ = false;
    // The kept lines joined by "\n", as the interpreter reads them, built as they come
    // rather than kept one string a line and joined at the end. Its first outputSize_
    // characters are the text. While no file is included, most manuals, the output
    // is written over the input's own text, which it never overtakes (it only drops
    // lines): a manual of megabytes then needs no second copy of its size. Once a
    // file is included it is written into output_, through a pointer into room that
    // doubles as it fills.
    bool inPlace_ = true;
    QString output_;
    qsizetype outputSize_ = 0;
    // Kept lines that follow one another in their file are written as one run: most
    // lines are kept, and a copy for each cost more than the copying. The run is the
    // characters [runFrom_, runEnd_) of one file's text, after a line end when
    // runNewline_.
    const char16_t *runFrom_ = nullptr;
    const char16_t *runEnd_ = nullptr;
    bool runNewline_ = false;
    int outputLines_ = 0; // lines in output_
    int skipping_ = 0;
    std::vector<int> conditionStack_;
    // The open readers: the input first, then one per open "\include".
    std::vector<Inclusion> inclusions_;
    // Files open on the include stack: including one of them again adds no lines, so
    // a source that includes itself finishes instead of recursing.
    QSet<QString> openFiles_;
    std::unordered_map<QString, QString, TextHash> definitions_;
};

QString fileKey(const QString &path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// The lines of a file the pages are made from, which the dependency file then names.
TextLines sourceLines(const QString &path) {
    TextLines lines(path);
    if (lines.isOpen())
        recordFileRead(path);
    return lines;
}

QString Preprocessor::read(const QString &inputPath) {
    const QString key = fileKey(inputPath);
    inclusions_.emplace_back(sourceLines(inputPath), 0, key, inputPath);
    openFiles_.insert(key);
    QStringView line;
    for (;;) {
        if (!nextLine(line)) {
            const bool inputDone = inclusions_.size() == 1;
            closeInclusion();
            if (inputDone)
                break;
            // The end of an included file leaves one empty line behind.
            line = QStringView();
        }
        // Only the first word decides what a line is; most lines are text and need no
        // simplified copy.
        qsizetype i = 0;
        while (i < line.size() && line.at(i).isSpace())
            ++i;
        const QStringView start = QStringView(line).mid(i);
        if (start.startsWith(u'%')) {
            if (warnings_)
                noteDroppedInCode(start);
            continue;
        }
        if (start.startsWith(u'@') && !startsWithText(start, "@(")) {
            if (warnings_)
                noteDroppedInCode(start);
            const int before = skipping_;
            // Directives are mostly written simply already: read where they stand.
            QString simple;
            const QStringView words =
                isSimplified(line) ? line : QStringView(simple = line.toString().simplified());
            directive(words);
            if (warnings_)
                noteSkipping(before, field(words, 0));
        } else {
            ordinaryLine(line, start);
        }
    }
    flushRun();
    // No text at all is a null string, as an empty join would be.
    if (outputSize_ == 0)
        return QString();
    QString output = inPlace_ ? inclusions_.front().reader.takeText() : std::move(output_);
    output.truncate(outputSize_);
    return output;
}

bool Preprocessor::nextLine(QStringView &line) {
    if (!reader().next(line))
        return false;
    ++inclusions_.back().line;
    return true;
}

// Leaves the innermost file: the including file's dropping state comes back.
void Preprocessor::closeInclusion() {
    Inclusion &done = inclusions_.back();
    nulFree_ = nulFree_ && !done.reader.sawNul();
    // Text lost to a failed read stops the run once the input is processed.
    recordReadFailure(done.path, done.reader.readError());
    if (warnings_ && skipping_ && done.droppingSince > 0)
        warn(done.droppingSince,
             QStringLiteral("variant section '%1' drops everything to the end of the file "
                            "(no @else or @end)")
                 .arg(done.droppingDirective),
             "variant-section");
    if (inclusions_.size() == 1)
        return;
    // The run held back may lie in the text that closes here.
    flushRun();
    skipping_ = done.skipping;
    openFiles_.remove(done.key);
    inclusions_.pop_back();
}

void Preprocessor::warn(int line, const QString &message, const char *category) {
    diagnostics().warn(inclusions_.back().path, line, message, category);
}

// Records where a kept line came from, reports its first character beyond ASCII (classic
// pages only), and follows the code blocks it opens and closes.
void Preprocessor::noteOutputLine(QStringView line) {
    Inclusion &current = inclusions_.back();
    origins_->map(outputLines_, current.path, current.line);
    // Modern pages are written in UTF-8 and say so: any character shows as written.
    if (!current.nonAsciiReported && !doc_.modernPages) {
        const auto wide =
            std::find_if(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0x7f; });
        if (wide != line.end()) {
            current.nonAsciiReported = true;
            warn(current.line,
                 QStringLiteral("character U+%1 is not ASCII; pages are declared ISO-8859-1, "
                                "so it may show wrongly (reported once per file)")
                     .arg(QString::number(wide->unicode(), 16).toUpper().rightJustified(4, u'0')),
                 "non-ascii");
        }
    }
    // The last code command of the line decides whether a block is open after it.
    for (qsizetype at = line.indexOf(u'\\'); at >= 0; at = line.indexOf(u'\\', at + 1)) {
        const QStringView rest = QStringView(line).mid(at + 1);
        const auto command = [&rest](QLatin1String name) {
            return rest.startsWith(name) &&
                   (rest.size() == name.size() || !rest.at(name.size()).isLetterOrNumber());
        };
        if (command(QLatin1String("code")) || command(QLatin1String("pre")))
            inCode_ = true;
        else if (command(QLatin1String("endcode")) || command(QLatin1String("endpre")))
            inCode_ = false;
    }
}

void Preprocessor::noteDroppedInCode(QStringView start) {
    if (!inCode_ || skipping_)
        return;
    const bool comment = start.startsWith(u'%');
    warn(inclusions_.back().line,
         QStringLiteral("line inside a code block starts with '%1' and is dropped as a %2")
             .arg(start.at(0))
             .arg(comment ? QLatin1String("comment") : QLatin1String("directive")),
         "dropped-code-line");
}

// Remembers the directive that starts dropping lines, so that a section left open to
// the end of its file can be reported where it starts.
void Preprocessor::noteSkipping(int before, const QString &directive) {
    Inclusion &current = inclusions_.back();
    if (!skipping_) {
        current.droppingSince = 0;
    } else if (!before) {
        current.droppingSince = current.line;
        current.droppingDirective = directive;
    }
}

void Preprocessor::ordinaryLine(QStringView line, QStringView start) {
    if (skipping_)
        return;
    if (startsWithText(start, "\\include")) {
        const QString name = field(simplified(line.toString()), 1);
        if (name.endsWith(QLatin1String(".dg"))) {
            openInclusion(name);
            return;
        }
    }
    if (warnings_)
        noteOutputLine(line);
    appendOutput(line);
    // Most lines are text; only a command can name a page or a title.
    if (line.startsWith(u'\\'))
        noteTitle(line);
}

void Preprocessor::noteTitle(QStringView line) {
    if (startsWithText(line, "\\split")) {
        titledPage_ = field(line, 1);
    } else if (startsWithText(line, "\\title{")) {
        QString title = simplified(line.mid(7).toString());
        if (title.endsWith(u'}'))
            title.chop(1);
        titles_.insert_or_assign(titledPage_, simplified(std::move(title)));
    } else if (startsWithText(line, "\\title")) {
        // What follows the command's name, white space simplified.
        const QString simple = simplified(line.toString());
        const qsizetype space = indexOfChar(simple, u' ');
        titles_.insert_or_assign(titledPage_, space < 0 ? QString() : simple.mid(space + 1));
    }
}

void Preprocessor::appendOutput(QStringView line) {
    const bool first = outputLines_++ == 0;
    const char16_t *const from = line.utf16();
    // The line goes on the run when the run's last line ends just before it with "\n"
    // (a text always has a character after its last one, so reading it is safe; a
    // "\r\n" ends the run).
    if (runFrom_ && from == runEnd_ + 1 && *runEnd_ == u'\n') {
        runEnd_ = from + line.size();
        return;
    }
    flushRun();
    runFrom_ = from ? from : u"";
    runEnd_ = runFrom_ + line.size();
    runNewline_ = !first;
}

void Preprocessor::flushRun() {
    if (!runFrom_)
        return;
    const qsizetype length = runEnd_ - runFrom_;
    QChar *text;
    if (inPlace_) {
        text = inclusions_.front().reader.writableText();
    } else {
        const qsizetype needed = outputSize_ + 1 + length;
        if (needed > output_.size())
            output_.resize(std::max(needed, 2 * output_.size()));
        text = output_.data();
    }
    char16_t *const begin = reinterpret_cast<char16_t *>(text);
    char16_t *out = begin + outputSize_;
    if (runNewline_)
        *out++ = u'\n';
    // In place the run may overlap where it goes.
    if (length > 0)
        std::memmove(out, runFrom_, size_t(length) * sizeof(QChar));
    outputSize_ = out + length - begin;
    runFrom_ = runEnd_ = nullptr;
}

void Preprocessor::leaveInPlace() {
    if (!inPlace_)
        return;
    flushRun();
    TextLines &input = inclusions_.front().reader;
    // Room for the rest of the input too, as the in-place output would have had.
    output_.resize(std::max(outputSize_, input.size()));
    std::copy_n(input.writableText(), outputSize_, output_.data());
    inPlace_ = false;
}

void Preprocessor::openInclusion(const QString &path) {
    leaveInPlace();
    const QString key = fileKey(path);
    const bool alreadyOpen = openFiles_.contains(key);
    TextLines lines = alreadyOpen ? TextLines() : sourceLines(path);
    if (warnings_ && alreadyOpen)
        warn(inclusions_.back().line,
             QStringLiteral("'%1' is already being included; this include adds nothing").arg(path),
             "include");
    else if (warnings_ && !lines.isOpen())
        warn(inclusions_.back().line,
             QStringLiteral("cannot read included file '%1'; its text is left out").arg(path),
             "missing-file");
    inclusions_.emplace_back(std::move(lines), skipping_, alreadyOpen ? QString() : key, path);
    if (!alreadyOpen)
        openFiles_.insert(key);
    skipping_ = 0;
}

void Preprocessor::defineMacro(const QString &s) {
    // s is simplified: its words stand one space apart. The name is the second word,
    // the value all after it; found in one pass rather than by splitting s twice.
    const qsizetype nameStart = indexOfChar(s, u' ') + 1;
    const qsizetype nameEnd = nameStart == 0 ? -1 : indexOfChar(s, u' ', nameStart);
    const QString name = nameStart == 0 ? QString() : s.mid(nameStart, nameEnd - nameStart);
    QString value = nameEnd < 0 ? QString() : s.mid(nameEnd + 1);
    QStringView next;
    while (value.endsWith(u'\\') && nextLine(next)) {
        value.chop(1);
        value += next;
    }
    if (!skipping_)
        definitions_.insert_or_assign(name, value);
}

bool familyIs(const char *family) {
    return qstrcmp(product::targetFamily, family) == 0;
}

void Preprocessor::directive(QStringView s) {
    // s is simplified; a directive is the whole of it, but for "@def" and its value.
    if (s.startsWith(QLatin1String("@def"))) {
        defineMacro(s.toString());
        return;
    }
    using Handler = void (*)(Preprocessor &, QStringView);
    struct Directive {
        const char *name;
        Handler run;
    };
    static const Handler format = [](Preprocessor &p, QStringView s) {
        p.skipping_ = s.mid(1) == p.doc_.formatName ? 0 : 1;
    };
    static const Handler processor = [](Preprocessor &p, QStringView s) {
        p.skipping_ = s.mid(1).toString().toUpper() == QLatin1String(product::targetFamily) ? 0 : 1;
    };
    static const Directive directives[] = {
        {"@html", format},
        {"@print", format},
        {"@avr", processor},
        {"@arm", processor},
        {"@msp430", processor},
        {"@maxq", processor},
        {"@maxq30", processor},
        {"@riscv", processor},
        {"@elide", processor},
        {"@arm_riscv",
         [](Preprocessor &p, QStringView) {
             p.skipping_ = familyIs("ARM") || familyIs("RISCV") ? 0 : 1;
         }},
        {"@codespace",
         [](Preprocessor &p, QStringView) {
             p.skipping_ = familyIs("AVR") || familyIs("MAXQ") || familyIs("MAXQ30") ? 0 : 1;
         }},
        {"@vantor",
         [](Preprocessor &p, QStringView) {
             p.conditionStack_.push_back(p.skipping_);
             if (!p.skipping_)
                 p.skipping_ = qstrcmp(product::name, "Vantor") == 0 ? 0 : 1;
         }},
        {"@else",
         [](Preprocessor &p, QStringView) {
             if (!p.skipping_)
                 p.skipping_ = 1;
             else if (p.conditionStack_.empty() || p.conditionStack_.back() != 1)
                 p.skipping_ = 0;
         }},
        {"@end",
         [](Preprocessor &p, QStringView) {
             if (p.conditionStack_.empty()) {
                 p.skipping_ = 0;
             } else {
                 p.skipping_ = p.conditionStack_.back();
                 p.conditionStack_.pop_back();
             }
         }},
    };
    static const WordSet names = [] {
        WordSet set;
        for (const Directive &d : directives)
            set.insert(QString::fromLatin1(d.name));
        return set;
    }();
    // Any other directive is dropped with its line.
    const qsizetype which = names.indexOf(s);
    if (which >= 0)
        directives[which].run(*this, s);
}

} // namespace

void preprocess(DocGen &doc, const QString &inputPath) {
    doc.origins.clear();
    Preprocessor preprocessor(doc, diagnostics().enabled() ? &doc.origins : nullptr,
                              doc.splitTitles);
    const QString text = preprocessor.read(inputPath);
    // A manual of megabytes is not searched again for a NUL that none of its lines had.
    interpretMarkup(doc, text, nullptr,
                    preprocessor.nulFree() ? NulInText::None : NulInText::Possible);

    doc.contentsLevel = 0;
    doc.closeContentsLevels();
    doc.flushPage();
    if (doc.pages && doc.contentsWanted)
        doc.pages->append(OutputPage{doc.outputDirectory + QLatin1Char('/') +
                                         QFileInfo(inputPath).baseName() + QLatin1String(".xml"),
                                     QString(), doc.contentsLines.join(u'\n')});
}
