#include "parsertestutil.h"

#include <gtest/gtest.h>

namespace {

// A scanner over a text with everything it reports into.
struct Scan {
    explicit Scan(const char *text) : lines(QString::fromUtf8(text)), scanner(&lines, &root) {}

    // The remaining tokens, space-separated: words as written, keywords with a "#" in
    // front, literals as "N" and "S".
    QString tokens() {
        QStringList out;
        for (int code = scanner.nextToken(); code != TokenEnd; code = scanner.nextToken()) {
            if (code == TokenIdentifier)
                out.append(scanner.tokenText());
            else if (code == TokenNumber)
                out.append(QStringLiteral("N"));
            else if (code == TokenString)
                out.append(QStringLiteral("S"));
            else if (code >= TokenClass && code <= TokenNamespace)
                out.append(QLatin1Char('#') + scanner.tokenText());
            else
                out.append(SourceBrowserToken::textOf(code, QString()));
        }
        return out.join(QLatin1Char(' '));
    }

    TextLines lines;
    SourceBrowserRoot root;
    SourceBrowserCScanner scanner;
};

} // namespace

TEST(ScannerTokens, SplitsLexicalForms) {
    const struct {
        const char *input;
        const char *expected;
    } cases[] = {
        {"inline int f(void);", "int f ( void ) ;"},
        {"class A : public B { Q_OBJECT public slots: signals: };",
         "#class A : #public B { #public : #signals : } ;"},
        {"Class CLASS clas", "Class CLASS clas"}, // keywords are case-sensitive
        {"x = 1.5 + 0x1Fu;", "x = N . N + N ;"},
        {"'a' '\\'' \"s\\\"t\" L'x' L\"w\" Lx _a$1", "N N S N S Lx _a$1"},
        {"'\\101' '\\x41g' \"\\n\"", "N N S"},
        {"a::b ... a.b : ?", "a :: b ... a . b : ?"},
        {"! & * + - / < = > [ ] ^ ~", "! & * + - / < = > [ ] ^ ~"},
        {"y $%@`|\\ \xC3\xA9 \x01 x", "y x"}, // characters that start no token
        {"\"unterminated\nnext", "S next"},   // a line end stops a literal
        {"a/b /* c */ d // e\nf", "a / b d f"},
        {"a /* never closed\n b", "a"},
        {"  \n\t\n", ""},
    };
    for (const auto &c : cases) {
        Scan scan(c.input);
        EXPECT_EQ(scan.tokens(), QString::fromUtf8(c.expected)) << c.input;
    }
    EXPECT_EQ(Scan("signals").scanner.nextToken(), TokenPublic);
}

TEST(ScannerLines, NumbersStayExactAcrossDirectivesAndContinuations) {
    Scan scan("a\n"
              "#define LONG \\\n"
              "   1 + \\\n"
              "   2\n"
              "/* two\n"
              "   lines */ b\n"
              "# if X\n"
              "\n"
              "c");
    QList<int> lines;
    while (scan.scanner.nextToken() != TokenEnd)
        lines.append(scan.scanner.tokenLine());
    EXPECT_EQ(lines, QList<int>({1, 6, 9}));
    EXPECT_EQ(scan.scanner.commentStartLine(), 5);
    EXPECT_EQ(scan.scanner.commentEndLine(), 6);
}

TEST(ScannerMacros, RecordsCanonicalDefinesWithContinuationLines) {
    Scan scan("#define MAX(a, b) \\\n"
              "  ((a) > (b) ? (a) : (b))\n"
              "  #define INDENTED 1\n"
              "# define SPACED 1\n"
              "#defineGLUED\n"
              "/* #define IN_COMMENT 2\n"
              "#define INSIDE 3\n"
              "*/ x");
    EXPECT_EQ(scan.tokens(), QStringLiteral("x"));
    ASSERT_NE(scan.root.findMacro("MAX"), nullptr);
    EXPECT_EQ(scan.root.findMacro("MAX")->text,
              QStringLiteral("#define MAX(a, b) \\\n   ((a) > (b) ? (a) : (b))"));
    EXPECT_EQ(scan.root.findMacro("INDENTED"), nullptr);
    EXPECT_EQ(scan.root.findMacro("SPACED"), nullptr);
    EXPECT_NE(scan.root.findMacro("GLUED"), nullptr);
    EXPECT_EQ(scan.root.findMacro("IN_COMMENT"), nullptr);
    ASSERT_NE(scan.root.findMacro("INSIDE"), nullptr) << "a directive line inside a comment";
    EXPECT_EQ(scan.scanner.commentText(), QStringLiteral(" #define IN_COMMENT 2\n"));
}

TEST(ScannerMacros, TakeTheCommentClosingOneOrTwoLinesAbove) {
    for (int gap : {0, 1, 2}) {
        QByteArray text = "/*! Baud rate. */\n";
        text += QByteArray(gap, '\n');
        text += "#define BAUD 9600\n#define NEXT 1\n";
        Scan scan(text.constData());
        scan.tokens();
        const QString expected = gap < 2 ? QStringLiteral("! Baud rate. ") : QString();
        EXPECT_EQ(scan.root.findMacro("BAUD")->comment, expected) << gap;
        EXPECT_TRUE(scan.root.findMacro("NEXT")->comment.isEmpty()) << "a macro consumes it";
        EXPECT_EQ(scan.scanner.commentEndLine(), gap < 2 ? -1 : 1);
    }
}

TEST(ScannerComments, OverviewAndGroups) {
    Scan scan("/*!! Driver overview */\n"
              "/*! \\overview More. */\n"
              "/*!   \\group   Serial   port */ a\n"
              "/*! \\group Timers */ b\n"
              "// MARK: fix this\n"
              "// OTHER\n"
              "/*! \\endgroup */ c\n"
              "/*! Plain. */");
    QStringList groups;
    while (scan.scanner.nextToken() != TokenEnd)
        groups.append(scan.scanner.tokenText() + QLatin1Char('=') + scan.scanner.group());
    EXPECT_EQ(groups, QStringList({"a=Serial port", "b=Timers", "c="}));
    EXPECT_EQ(scan.scanner.overviewText(), QStringLiteral("Driver overview \\overview More. "));
    EXPECT_EQ(scan.scanner.commentText(), QStringLiteral("! Plain. "));
    EXPECT_EQ(scan.scanner.commentEndLine(), 8);
}
