// Hostile and oversized inputs run through the built binary. Each case is generated
// here; the checks are about sizes and outcomes (the run finishes, exits normally,
// writes output in proportion to its input), never about time.

#include "tests/support/workspace.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

// What a case leaves in the workspace, and what it should do with it.
struct Inputs {
    std::vector<std::pair<QString, QByteArray>> files; // written before the run
    QString input;                                     // given on the command line
};

struct Case {
    const char *name;
    std::function<Inputs()> make;
    // Everything written may be at most this many times the input plus 1 MB: a
    // quadratic blow-up or a runaway loop writing text fails it.
    int outputFactor;
    // A page the run must have written: for a header, that of a declaration after the
    // hostile text shows that the parser recovered instead of giving up on the rest.
    const char *page;
    // Further checks on the page; may be empty.
    std::function<void(const QString &page)> check = nullptr;
};

QByteArray repeated(const char *piece, int times) {
    return QByteArray(piece).repeated(times);
}

// Bytes from a fixed seed, so that a failure replays.
QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

Inputs single(const char *name, const QByteArray &content) {
    return Inputs{{{QString::fromLatin1(name), content}}, QString::fromLatin1(name)};
}

const QByteArray documentedFunction = "\n/*! Still read. \\synopsis */\nint survivor(int x);\n";

int occurrences(const QString &text, const QString &what) {
    return int(text.count(what));
}

const Case cases[] = {
    {"NestedParenthesesInPrototype",
     [] {
         return single("h.h", "/*! \\brief Deep. */\nint deep" + repeated("(", 200000) +
                                  repeated(")", 200000) + ";" + documentedFunction);
     },
     20, "out/survivor.htm"},
    {"UnclosedBracesAtEnd",
     [] { return single("h.h", "/*! \\brief Open. */\nstruct open " + repeated("{", 200000)); }, 20,
     "out/h_h.htm"},
    {"UnterminatedBlockComment",
     [] { return single("h.h", "/*! never closed\n" + repeated("text * / more\n", 400000)); }, 20,
     "out/h_h.htm"},
    {"UnterminatedString",
     [] {
         return single("h.h", "/*! \\brief S. */\nconst char *s = \"" +
                                  repeated("no closing quote \\\" ", 250000));
     },
     20, "out/h_h.htm"},
    {"MacroContinuedAtEnd",
     [] {
         return single("h.h", "/*! \\brief M. */\n#define M(a) " + repeated("a + \\\n", 200000));
     },
     20, "out/h_h.htm"},
    {"CodeSampleOpenAtCommentEnd",
     [] {
         return single("h.h", "/*! \\brief Sample.\n * \\code\n * int x;\n */\nint sample(void);" +
                                  documentedFunction);
     },
     200, "out/sample.htm",
     // The comment's end closes the sample: the next declaration is not taken into it.
     [](const QString &page) { EXPECT_FALSE(page.contains("survivor")); }},
    {"RandomBytesAsHeader", [] { return single("r.h", randomBytes(1 << 20, 1)); }, 20, nullptr},
    {"RandomBytesAsManual", [] { return single("r.dg", randomBytes(1 << 20, 2)); }, 20, nullptr},
    {"UnclosedArgumentLine",
     [] { return single("m.dg", "\\split p\n\\b{" + repeated("word \\i{x ", 500000)); }, 20,
     "p.htm"},
    {"UnclosedNestedCommands",
     [] { return single("m.dg", "\\split p\n" + repeated("\\b{", 1700000)); }, 20, "p.htm"},
    {"NestedBracesInManual",
     [] {
         return single("m.dg",
                       "\\split p\n" + repeated("{", 200000) + repeated("}", 200000) + "\n");
     },
     20, "p.htm"},
    {"HundredThousandListItems",
     [] { return single("m.dg", "\\split p\n" + repeated("\\item entry\n", 100000)); }, 20, "p.htm",
     [](const QString &page) { EXPECT_EQ(occurrences(page, "<li>"), 100000); }},
    {"HundredThousandTableCells",
     [] {
         return single("m.dg", "\\split p\n\\table{1in,*}\n" + repeated("||cell|cell\n", 50000) +
                                   "\\endtable\n\\matrix{a,b}\n" + repeated("|x", 100000) +
                                   "\n\\endmatrix\n");
     },
     20, "p.htm", [](const QString &page) { EXPECT_GE(occurrences(page, "<td"), 200000); }},
    {"CodeBlockOpenAtEnd",
     [] { return single("m.dg", "\\split p\n\\code{c}\n" + repeated("int x; /* ", 300000)); }, 40,
     "p.htm"},
    {"SelfInclusion",
     [] { return single("self.dg", "\\split p\nonce\n\\include self.dg\nafter\n"); }, 200, "p.htm",
     [](const QString &page) {
         EXPECT_EQ(occurrences(page, "once"), 1);
         EXPECT_EQ(occurrences(page, "after"), 1);
     }},
    {"MutualInclusion",
     [] {
         return Inputs{
             {{"a.dg", "\\split p\nin a\n\\include b.dg\n"}, {"b.dg", "in b\n\\include a.dg\n"}},
             "a.dg"};
     },
     200, "p.htm",
     [](const QString &page) {
         EXPECT_EQ(occurrences(page, "in a"), 1);
         EXPECT_EQ(occurrences(page, "in b"), 1);
     }},
    {"ChainOfIncludes",
     [] {
         Inputs inputs{{}, "c0.dg"};
         for (int i = 0; i < 400; ++i) {
             QByteArray text = i == 0 ? "\\split p\n" : "";
             text += "link " + QByteArray::number(i) + " start\n";
             if (i + 1 < 400)
                 text += "\\include c" + QByteArray::number(i + 1) + ".dg\n";
             text += "link " + QByteArray::number(i) + " end\n";
             inputs.files.emplace_back("c" + QString::number(i) + ".dg", text);
         }
         return inputs;
     },
     200, "p.htm",
     [](const QString &page) {
         qsizetype at = 0;
         for (int i = 0; i < 400; ++i) {
             at = page.indexOf(QStringLiteral("link %1 start").arg(i), at);
             ASSERT_GE(at, 0) << i;
         }
         for (int i = 399; i >= 0; --i) {
             at = page.indexOf(QStringLiteral("link %1 end").arg(i), at);
             ASSERT_GE(at, 0) << i;
         }
     }},
    {"DefinitionContinuedAtEnd",
     [] { return single("m.dg", "\\split p\nbefore\n@def NAME value \\\n  more \\"); }, 200,
     "p.htm", [](const QString &page) { EXPECT_TRUE(page.contains("before")); }},
    // The continuation stops at the end of the included file; the includer's next line is
    // ordinary text again.
    {"DefinitionContinuedAtEndOfInclude",
     [] {
         return Inputs{
             {{"m.dg", "\\split p\n\\include d.dg\nafter\n"}, {"d.dg", "inside\n@def NAME \\"}},
             "m.dg"};
     },
     200, "p.htm",
     [](const QString &page) { EXPECT_TRUE(page.contains("inside") && page.contains("after")); }},
};

void PrintTo(const Case &c, std::ostream *os) {
    *os << c.name;
}

class Pathological : public ::testing::TestWithParam<Case> {};

TEST_P(Pathological, FinishesWithOutputInProportion) {
    const Case &c = GetParam();
    const Inputs inputs = c.make();
    Workspace ws;
    qsizetype inputBytes = 0;
    std::set<QString> inputPaths;
    for (const auto &[name, content] : inputs.files) {
        ws.write(name, content);
        inputBytes += content.size();
        inputPaths.insert(ws.path(name));
    }

    const RunResult r = ws.run({"-o", "out", inputs.input});
    ASSERT_EQ(r.exitCode, 0) << r.err.left(2000).toStdString();

    qsizetype outputBytes = 0;
    QDirIterator it(ws.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!inputPaths.count(file))
            outputBytes += QFileInfo(file).size();
    }
    const qsizetype bound = qsizetype(c.outputFactor) * inputBytes + (1 << 20);
    EXPECT_LE(outputBytes, bound) << "input " << inputBytes << " bytes";
    EXPECT_LE(r.out.size() + r.err.size(), inputBytes + (1 << 16));
    if (c.page) {
        ASSERT_TRUE(ws.exists(c.page)) << c.page;
        if (c.check)
            c.check(ws.read(c.page));
    }
}

INSTANTIATE_TEST_SUITE_P(HostileInput, Pathological, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
