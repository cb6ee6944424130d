#include "parsertestutil.h"

#include <gtest/gtest.h>

namespace {

QString oneLine(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1String(" | "));
}

// The model as lines "<table> <qualified name> = <synopsis>", table by table.
// Nested classes are listed where the root files them.
void describe(const SourceBrowserContainer *container, QStringList &out) {
    for (const SourceBrowserMacro *macro : container->allMacros())
        out.append(QStringLiteral("macro %1 = %2").arg(macro->name, oneLine(macro->synopsis(0))));
    for (const SourceBrowserVariable *type : container->allTypes())
        out.append(QStringLiteral("type %1 = %2")
                       .arg(type->qualifiedName(), oneLine(type->synopsis(SynopsisReferencePage))));
    for (const SourceBrowserVariable *variable : container->allVariables())
        out.append(QStringLiteral("var %1 = %2")
                       .arg(variable->qualifiedName(), variable->synopsis(SynopsisReferencePage)));
    for (const SourceBrowserMethod *method : container->allMethods())
        out.append(
            QStringLiteral("fn %1 = %2")
                .arg(method->qualifiedName(), oneLine(method->synopsis(SynopsisReferencePage))));
    for (const SourceBrowserContainer *structure : container->allStructs()) {
        out.append(QStringLiteral("struct %1").arg(structure->qualifiedName()));
        describe(structure, out);
    }
    for (const SourceBrowserContainer *cls : container->allClasses()) {
        out.append(QStringLiteral("class %1").arg(cls->qualifiedName()));
        if (container->kind == KindNone)
            describe(cls, out);
    }
    for (const SourceBrowserContainer *space : container->allNamespaces()) {
        out.append(QStringLiteral("namespace %1").arg(space->qualifiedName()));
        describe(space, out);
    }
}

struct Parsed {
    explicit Parsed(const QString &text, const QString &fileName = QStringLiteral("test.h"))
        : parser(&root) {
        parser.parse(text, fileName);
    }

    QStringList model() const {
        QStringList out;
        describe(&root, out);
        return out;
    }

    SourceBrowserRoot root;
    TextParser parser;
};

} // namespace

TEST(ParserShapes, FilesWhatEachDeclarationShapeDeclares) {
    const struct {
        const char *input;
        QStringList expected;
    } cases[] = {
        {"/*! LED port number */\n#define LED_PORT 3", {"macro LED_PORT = #define LED_PORT 3"}},
        {"typedef enum { RED, GREEN = 4, BLUE } Colour;\nenum Mode { A, B };",
         {"type Colour = typedef enum { |   RED, |   GREEN, |   BLUE | } Colour"}},
        {"typedef enum tag { X = (1, 2), Y } E;", {"type E = typedef enum { |   X, |   Y | } E"}},
        {"typedef unsigned char BYTE;\ntypedef const char *cstr;",
         {"type BYTE = typedef unsigned char BYTE", "type cstr = typedef const char *cstr"}},
        {"extern volatile int ticks;", {"var ticks = int ticks"}},
        // A name declared again replaces the earlier declaration; a variable moves to the
        // end, a typedef and an enum share one table, overloads stay apart and a
        // prototype merges with its repetition.
        {"int count;\nint other;\nlong count;",
         {"var other = int other", "var count = long count"}},
        {"#define X 1\n#define X 2\ntypedef int T;\ntypedef enum { A } T;",
         {"macro X = #define X 2", "type T = typedef enum { |   A | } T"}},
        {"void f(int);\nvoid f(char);\nvoid f(int x);",
         {"fn f = void f(char)", "fn f = void f(int x)"}},
        {"char name[32];\nint grid[2][3];", {"var name = char name[]", "var grid = int grid[][]"}},
        {"int a, *b, c[4];", {"var a = int a", "var b = int *b", "var c = int c[]"}},
        {"typedef struct { const char *p, *const q; } S;",
         {"struct S", "var S.p = const char *p", "var S.q = const char *const q"}},
        {"const int limit;", {"var limit = int limit"}}, // const is only kept in members
        {"void (*handler)(int);\ntypedef void (*callback_t)(void);\nvoid (*cb)(int a, char b);",
         {"type callback_t = typedef void (*callback_t)(void)",
          "var handler = void (*handler)(int)", "var cb = void (*cb)(int a, char b)"}},
        {"void (*table[4])(void);", {"var table = void (*table[])(void)"}},
        {"struct tag var;\nclass Foo;\nint Uart::count = 0;\nstruct tag *p;", {}},
        {"void uart_init(void);", {"fn uart_init = void uart_init(void)"}},
        {"int uart_send(const char *buf, int len = f(1, 2)) __attribute__((nonnull));",
         {"fn uart_send = int uart_send(const char *buf, |               int len)"}},
        {"char *copy(char *dst, const char *__src);",
         {"fn copy = char *copy(char *dst, |            const char *src)"}},
        {"int printf(const char *, ...);\nvoid g(int);",
         {"fn printf = int printf(const char *, |            ...)", "fn g = void g(int)"}},
        {"void set(void (*fn)(int), unsigned long long mask);",
         {"fn set = void set(void (*fn)(int), |          unsigned long long mask)"}},
        {"inline static int twice(int x) { return x * 2; }", {"fn twice = int twice(int x)"}},
        {"extern \"C\" {\nint x;\n}\nextern \"C\" int y;\nint z;",
         {"var x = int x", "var y = int y", "var z = int z"}},
        {"using namespace std;\nusing std::string; using T = int;\nint z;", {"var z = int z"}},
        {"__packed struct s { int z; };\n__interrupt void isr(void);\nasm(\"nop\");\n"
         "typedef struct __attribute__((packed)) { char a; } Packed;",
         {"fn isr = void isr(void)", "struct Packed", "var Packed.a = char a", "struct s",
          "var s.z = int z"}},
        // A union in a class body is read as a struct's member union, so that its braces
        // do not end the class; without a name it files nothing.
        {"class C { union { int x; }; int kept; };", {"class C", "var C.kept = int kept"}},
        {"typedef union { int i; float f; } Value;",
         {"struct Value", "var Value.i = int i", "var Value.f = float f"}},
        {"typedef struct tag { struct { int a; } inner; union { int b; }; struct tag *next;"
         " unsigned ready : 1; unsigned : 3; enum { ON } mode; int x, y[2]; } Outer;",
         {"struct Outer", "var Outer.next = tag *next", "var Outer.ready = unsigned ready",
          "var Outer.x = int x", "var Outer.y = int y[]", "struct Outer.inner",
          "var Outer.inner.a = int a"}},
        {"typedef struct tag tag_t;", {"var tag_t = tag tag_t"}},
        {"typedef struct { int n; } *PS;", {}}, // no name of its own: dropped
        {"template <typename T> T maxOf(T a, T b);\nQList<int> list;\n"
         "void take(const QMap<int, char> &items);",
         {"var list = QList list", "fn maxOf = T maxOf(T a, |         T b)",
          "fn take = void take(const QMap<int, char> &items)"}},
        {"namespace hw { int y; namespace inner { void f(void); } }\nnamespace { int x; }",
         {"namespace (test.h)", "var (test.h).x = int x", "namespace hw", "var hw.y = int y",
          "namespace hw.inner", "fn hw.inner.f = void f(void)"}},
        {"namespace a { int x; }\nnamespace a { int y; }",
         {"namespace a", "var a.x = int x", "var a.y = int y"}},
    };
    for (const auto &c : cases) {
        Parsed parsed(QString::fromUtf8(c.input));
        EXPECT_EQ(parsed.model(), c.expected) << c.input;
    }
}

TEST(ParserShapes, ClassesWithAccessBasesMembersAndNesting) {
    Parsed parsed(
        QStringLiteral("class Base {};\n"
                       "class Derived : public Base, Other, protected virtual T<int, char> {\n"
                       "    Q_OBJECT\n"
                       "    Q_PROPERTY(int rate READ rate)\n"
                       "    int hidden;\n"
                       "public:\n"
                       "    Derived();\n"
                       "    virtual ~Derived();\n"
                       "    static Derived *create(int rate);\n"
                       "    int rate() const { return m_rate; }\n"
                       "    bool operator==(const Derived &o) const;\n"
                       "    int operator()(int x);\n"
                       "    class Inner { int q; };\n"
                       "    union { int u1; float u2; };\n"
                       "protected slots:\n"
                       "    void onData();\n"
                       "signals:\n"
                       "    void ready();\n"
                       "private:\n"
                       "    int m_rate;\n"
                       "};\n"
                       "struct point { int x; };\n"));
    EXPECT_EQ(
        parsed.model(),
        QStringList(
            {"struct point", "var point.x = int x", "class Base", "class Derived",
             "var Derived.hidden = int hidden", "var Derived.m_rate = int m_rate",
             "fn Derived.Derived =  Derived(void)", "fn Derived.~Derived =  ~Derived(void)",
             "fn Derived.create = Derived *create(int rate)", "fn Derived.rate = int rate(void)",
             "fn Derived.== = bool ==(const Derived &o)", "fn Derived.() = int (void)(int x)",
             "fn Derived.onData = void onData(void)", "fn Derived.ready = void ready(void)",
             "class Derived.Inner", "class Derived.Inner", "var Derived.Inner.q = int q"}));

    const SourceBrowserContainer *derived = parsed.root.findClass("Derived");
    ASSERT_NE(derived, nullptr);
    QStringList bases;
    for (const auto &base : derived->baseClasses)
        bases << base.name + (base.access == AccessPublic      ? " public"
                              : base.access == AccessProtected ? " protected"
                              : base.access == AccessPrivate   ? " private"
                                                               : " ?");
    EXPECT_EQ(bases, QStringList({"Base public", "Other private", "T<int, char> protected"}));

    const auto accessOf = [derived](const char *name) {
        const QList<SourceBrowserMethod *> found = derived->findMethods(QString::fromUtf8(name));
        return found.isEmpty() ? -1 : found.first()->access;
    };
    EXPECT_EQ(derived->findVariable("hidden")->access, AccessPrivate);
    EXPECT_EQ(accessOf("create"), AccessPublic);
    EXPECT_EQ(accessOf("onData"), AccessProtected);
    EXPECT_EQ(accessOf("ready"), AccessPublic);
    EXPECT_EQ(derived->findVariable("m_rate")->access, AccessPrivate);
    EXPECT_TRUE(derived->findMethods("~Derived").first()->isVirtual);
    EXPECT_TRUE(derived->findMethods("rate").first()->isConst);
    EXPECT_TRUE(derived->findMethods("create").first()->isStatic);
    EXPECT_FALSE(derived->findMethods("rate").first()->isStatic) << "static applies once";
    EXPECT_EQ(derived->declarationEndLine, 20);
    EXPECT_EQ(parsed.root.allStructs().value(0)->findVariable("x")->access, AccessPrivate);
    EXPECT_EQ(parsed.root.findClass("Inner")->scope, QStringLiteral("Derived"));
}

TEST(ParserDefinitions, PrototypeAndDefinitionBecomeOneMethod) {
    Parsed parsed(QStringLiteral("/*! Doubles. */\n"
                                 "int f(int a);\n"
                                 "\n"
                                 "int f(int b) {\n"
                                 "    return b * 2;\n"
                                 "}\n"
                                 "static void tick(void) { }\n"
                                 "void tock(void);\n"));
    const QList<SourceBrowserMethod *> f = parsed.root.findMethods("f");
    ASSERT_EQ(f.size(), 1);
    EXPECT_EQ(f[0]->declarationLine, 1);
    EXPECT_EQ(f[0]->definitionLine, 3);
    EXPECT_EQ(f[0]->definitionEndLine, 5);
    EXPECT_EQ(f[0]->declarationFile, QStringLiteral("test.h"));
    EXPECT_EQ(f[0]->comment, QStringLiteral("! Doubles. ")) << "kept from the prototype";
    EXPECT_EQ(f[0]->arguments[0].name, QStringLiteral("b"));
    EXPECT_TRUE(parsed.root.findMethods("tick")[0]->isStatic);
    EXPECT_EQ(parsed.root.findMethods("tick")[0]->definitionLine, 6);
    EXPECT_FALSE(parsed.root.findMethods("tock")[0]->isStatic);
}

TEST(ParserDefinitions, OutOfClassDefinitionsFindTheirDeclaration) {
    Parsed parsed(QStringLiteral("void Uart::flush() { }\n"
                                 "class Uart {\n"
                                 "public:\n"
                                 "    Uart();\n"
                                 "    int send(int c) const;\n"
                                 "    class Fifo { void push(char c); };\n"
                                 "};\n"
                                 "void Uart::flush() { }\n"
                                 "int Uart::send(int value) const\n"
                                 "{\n"
                                 "    return value;\n"
                                 "}\n"
                                 "Uart::Uart() : m_a(1), m_b{2} { }\n"
                                 "void Uart::Fifo::push(char c) { }\n"
                                 "namespace hw { class Port { void on(); }; void Port::on() { } }\n"
                                 "void Uart::send(int c);\n"));
    EXPECT_EQ(parsed.parser.errors,
              QStringList({"test.h:1: Class Uart not found",
                           "test.h:8: Method flush not found in class Uart"}));
    const SourceBrowserContainer *uart = parsed.root.findClass("Uart");
    ASSERT_NE(uart, nullptr);
    const SourceBrowserMethod *send = uart->findMethods("send").value(0);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(send->declarationLine, 4);
    EXPECT_EQ(send->definitionLine, 8);
    EXPECT_EQ(send->definitionEndLine, 11);
    EXPECT_EQ(uart->definitionFile, QStringLiteral("test.h"));
    EXPECT_EQ(uart->findMethods("Uart").value(0)->definitionLine, 12);
    EXPECT_EQ(parsed.root.findClass("Fifo")->findMethods("push").value(0)->definitionLine, 13);
    EXPECT_EQ(parsed.root.findClass("Port")->findMethods("on").value(0)->definitionLine, 14);
    EXPECT_EQ(uart->allMethods().size(), 2) << "definitions add no methods";
    EXPECT_TRUE(parsed.root.allMethods().isEmpty());
}

TEST(ParserComments, AttachToDeclarationsStartingOneOrTwoLinesBelow) {
    Parsed parsed(QStringLiteral("/*! Shared. */\n"
                                 "int first;\n"
                                 "int second;\n"
                                 "int third;\n"
                                 "/*! Count. */ int count;\n"
                                 "/*! Point. */\n"
                                 "typedef struct {\n"
                                 "    int x;\n"
                                 "} Point;\n"
                                 "/*! \\group Timers */\n"
                                 "/*! Start. */\n"
                                 "void start(void) { }\n"
                                 "#define TIMER_MAX 9\n"
                                 "typedef enum { T0 } Timer;\n"
                                 "/*! \\endgroup */\n"
                                 "int after;\n"));
    const auto commentOf = [&](const char *name) {
        if (const SourceBrowserObject *entity = parsed.root.findVariable(name))
            return entity->comment;
        return QStringLiteral("?");
    };
    EXPECT_EQ(commentOf("first"), QStringLiteral("! Shared. "));
    EXPECT_EQ(commentOf("second"), QStringLiteral("! Shared. "));
    EXPECT_EQ(commentOf("third"), QString());
    EXPECT_EQ(commentOf("count"), QString()) << "a comment on the same line does not attach";
    EXPECT_EQ(parsed.root.allStructs().value(0)->comment, QStringLiteral("! Point. "));
    const SourceBrowserMethod *start = parsed.root.findMethods("start").value(0);
    EXPECT_EQ(start->comment, QStringLiteral("! Start. "));
    EXPECT_EQ(start->group, QStringLiteral("Timers"));
    EXPECT_EQ(parsed.root.findType("Timer")->group, QStringLiteral("Timers"));
    EXPECT_EQ(parsed.root.findType("Timer")->comment, QString()) << "the macro consumed it";
    EXPECT_EQ(parsed.root.findMacro("TIMER_MAX")->group, QString());
    EXPECT_EQ(parsed.root.findVariable("after")->group, QString());
}

TEST(ParserErrors, ReportsOnlyTheFourMessagesAndCarriesOn) {
    Parsed parsed(QStringLiteral("typedef struct s {\n"
                                 "    static int n;\n"
                                 "} S;\n"
                                 "namespace hw = io;\n"
                                 "int kept;\n"
                                 "{ }\n"),
                  QStringLiteral("drivers/uart.h"));
    EXPECT_EQ(parsed.parser.errors,
              QStringList({"drivers/uart.h:2: Bad struct declaration"}) +
                  QStringList(6, QStringLiteral("drivers/uart.h:4: Bad namespace identifier")));
    EXPECT_NE(parsed.root.allStructs().value(0)->findVariable("n"), nullptr);
    EXPECT_NE(parsed.root.findNamespace("hw"), nullptr) << "the next brace opens it";
    EXPECT_EQ(parsed.root.findVariable("kept"), nullptr) << "swallowed as a bad identifier";
}

TEST(ParserRobustness, UnfinishedInputEndsQuietly) {
    const char *inputs[] = {"void f(",
                            "int g(int a, ",
                            "typedef struct { int a",
                            "struct s { int a;",
                            "class A : public",
                            "class A { public: void f() {",
                            "namespace a {",
                            "namespace a",
                            "typedef enum { A, B",
                            "int x = ",
                            "char c = 'x",
                            "template <class T",
                            "bool operator",
                            "typedef void (*cb)(int",
                            "extern \"C\" {",
                            "void (*p)(",
                            "__attribute__((",
                            "int a, b",
                            "Uart::Uart() : a("};
    // Each ends the parse, at the end of the input or with a declaration after it.
    for (const char *input : inputs) {
        Parsed atEnd(QString::fromUtf8(input));
        Parsed followed(QString::fromUtf8(input) + QStringLiteral("\nint trailing"));
    }
}

TEST(ParserScale, LargeHeaderParsesInProportionalTime) {
    // 100,000 declarations of every kind, then definitions matching half of them.
    // With tables searched by scanning this takes minutes and runs into the test
    // timeout; linearly, about a second. No clock is read here: a sanitized build on a
    // busy machine is slow without being wrong.
    const int count = 20000;
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("/*! Item. */\nint v%1;\nvoid f(int a%1);\nvoid g%1(char c);\n"
                               "typedef int t%1;\n#define M%1 %1\n")
                    .arg(i);
    }
    text += QStringLiteral("class Big {\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("int m%1; void h%1(int);\n").arg(i);
    text += QStringLiteral("};\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("void g%1(char c) { }\nvoid Big::h%1(int x) { }\n").arg(i);

    Parsed parsed(text);
    const SourceBrowserContainer *big = parsed.root.findClass("Big");
    EXPECT_EQ(QList<qsizetype>({parsed.root.allVariables().size(), parsed.root.allTypes().size(),
                                parsed.root.allMacros().size(), parsed.root.allMethods().size(),
                                big->allMethods().size()}),
              QList<qsizetype>({count, count, count, count + 1, count}))
        << "f is declared with the same signature each time";
    const SourceBrowserMethod *g77 = parsed.root.findMethods("g77").value(0);
    EXPECT_EQ(g77->declarationLine, 6 * 77 + 3);
    EXPECT_EQ(g77->definitionLine, 6 * count + count + 2 + 2 * 77);
    EXPECT_EQ(big->findMethods("h5").value(0)->definitionLine, 7 * count + 2 + 11);
    EXPECT_TRUE(parsed.parser.errors.isEmpty());
}
