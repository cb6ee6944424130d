// The golden cases of tests/cases/pages: inputs for quillgen and what it must write for
// them, several cases to a file. A file reads:
//
//   # Comment lines; before the first case, settings for every case of the file:
//   input=case.h        the input's file name (default case.dg: an input of that name
//                       gets "\split case" as its first line, so its text is case.htm)
//   NAME=value          an environment variable of the run
//   ### what the case shows
//   the input's lines
//   ---                 the body of case.htm (the whole page if it starts with <html>
//                       or <!DOCTYPE)
//   --- page.htm        the body of another page
//   --- stderr          what the run printed there; likewise stdout (no section: nothing)
//   --- files           every file the run wrote, one per line
//
// Each case runs the built binary in a fresh folder holding the other files of
// tests/cases/pages and must exit with status 0. An expected section ends at the line
// end before the next marker, and the output it is compared with loses one final line
// end. scripts/draft-cases writes a first draft of the sections from a binary's output.

#include "tests/support/workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString casesDir = QStringLiteral(QUILLGEN_SOURCE_DIR "/tests/cases/pages");

struct Section {
    QString target;
    QStringList lines;
};

struct Case {
    QString name;
    QStringList input;
    std::vector<Section> sections;
};

struct CaseFile {
    QString input = QStringLiteral("case.dg");
    std::vector<std::pair<QString, QString>> environment;
    std::vector<Case> cases;
};

QByteArray readFile(const QString &fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

CaseFile parse(QString text) {
    CaseFile file;
    text.chop(text.endsWith(u'\n') ? 1 : 0);
    for (const QString &line : text.split(u'\n')) {
        if (line.startsWith(QLatin1String("### "))) {
            file.cases.push_back(Case{line.mid(4), {}, {}});
        } else if (file.cases.empty()) {
            const qsizetype equals = line.indexOf(u'=');
            if (line.startsWith(u'#') || equals < 0)
                continue;
            if (line.startsWith(QLatin1String("input=")))
                file.input = line.mid(equals + 1);
            else
                file.environment.emplace_back(line.left(equals), line.mid(equals + 1));
        } else if (line == QLatin1String("---") || line.startsWith(QLatin1String("--- "))) {
            file.cases.back().sections.push_back(Section{line.mid(4), {}});
        } else if (!file.cases.back().sections.empty()) {
            file.cases.back().sections.back().lines.append(line);
        } else {
            file.cases.back().input.append(line);
        }
    }
    return file;
}

QStringList filesIn(const Workspace &ws) {
    QStringList files;
    QDirIterator it(ws.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next().mid(ws.path().size() + 1));
    files.sort();
    return files;
}

// The lines that differ, between the lines both texts begin and end with.
std::string diff(const QString &expected, const QString &actual) {
    const QStringList a = expected.split(u'\n');
    const QStringList b = actual.split(u'\n');
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    std::string text = "@@ line " + std::to_string(head + 1) + " @@\n";
    for (qsizetype i = head; i < a.size() - tail; ++i)
        text += "-" + a[i].toStdString() + "\n";
    for (qsizetype i = head; i < b.size() - tail; ++i)
        text += "+" + b[i].toStdString() + "\n";
    return text;
}

void runCase(const CaseFile &file, const Case &c) {
    Workspace ws;
    for (const QString &name : QDir(casesDir).entryList(QDir::Files))
        if (!name.endsWith(QLatin1String(".cases")))
            ws.write(name, readFile(casesDir + u'/' + name));
    QString input = c.input.join(u'\n') + u'\n';
    if (file.input == QLatin1String("case.dg"))
        input.prepend(QLatin1String("\\split case\n"));
    ws.write(file.input, input);
    const QStringList before = filesIn(ws);
    const RunResult r = ws.run({file.input}, file.environment);
    const std::string label = "case \"" + c.name.toStdString() + "\", ";
    ASSERT_EQ(r.exitCode, 0) << label << "stderr:\n" << r.err.toStdString();
    QStringList written = filesIn(ws);
    written.removeIf([&](const QString &f) { return before.contains(f); });

    QStringList targets;
    for (const Section &section : c.sections) {
        const QString expected = section.lines.join(u'\n');
        const QString target =
            section.target.isEmpty() ? QStringLiteral("case.htm") : section.target;
        targets.append(target);
        QString actual;
        if (target == QLatin1String("stdout"))
            actual = r.out;
        else if (target == QLatin1String("stderr"))
            actual = r.err;
        else if (target == QLatin1String("files"))
            actual = written.join(u'\n');
        else if (!ws.exists(target))
            actual = QStringLiteral("(not written)");
        else if (expected.startsWith(QLatin1String("<html>")) ||
                 expected.startsWith(QLatin1String("<!DOCTYPE")))
            actual = ws.read(target);
        else
            actual = pageBody(ws.read(target));
        actual.chop(actual.endsWith(u'\n') ? 1 : 0);
        if (actual != expected)
            ADD_FAILURE() << label << target.toStdString() << ":\n" << diff(expected, actual);
    }
    EXPECT_TRUE(targets.contains("stdout") || r.out.isEmpty()) << label << "stdout:\n"
                                                               << r.out.toStdString();
    EXPECT_TRUE(targets.contains("stderr") || r.err.isEmpty()) << label << "stderr:\n"
                                                               << r.err.toStdString();
}

class Golden : public testing::TestWithParam<QString> {};

TEST_P(Golden, EveryCaseWritesWhatItExpects) {
    const CaseFile file = parse(QString::fromUtf8(readFile(casesDir + u'/' + GetParam())));
    EXPECT_FALSE(file.cases.empty());
    for (const Case &c : file.cases)
        runCase(file, c);
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden,
                         testing::ValuesIn(QDir(casesDir).entryList({QStringLiteral("*.cases")})),
                         [](const testing::TestParamInfo<QString> &info) {
                             return info.param.section(u'.', 0, 0).toStdString();
                         });

} // namespace
