#include "sourcebrowser/sourcebrowsercontainer.h"

#include "parsertestutil.h"

#include <gtest/gtest.h>

namespace {

QString q(const char *text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(VariableSynopsis, PlacesNameAndTightensTypeText) {
    const struct {
        int kind;
        const char *type;
        int namePosition;
        const char *name;
        const char *expected;
    } cases[] = {
        {KindVariable, "unsigned char []", 14, "buffer", "unsigned char buffer[]"},
        {KindVariable, "int", -1, "buffer", "int buffer"},
        {KindVariable, "const char *", 13, "buffer", "const char *buffer"}, // past the end
        {KindVariable, "const char *", 11, "p", "const char p*"},           // inside: split there
        {KindTypedef, "unsigned char", -1, "BYTE", "typedef unsigned char BYTE"},
        {KindVariable, "void ( * )(int )", 9, "handler", "void (*handler)(int)"},
        {KindVariable, "void ( * )()", 9, "handler", "void (*handler)(void)"},
        {KindVariable, "void ( * ) ( )", 9, "handler", "void (*handler) ()"},
        {KindVariable, "int ( * )(int a , char b )", 8, "f", "int (*f)(int a, char b)"},
        {KindVariable, "int", 0, "", "int"}, // no name: nothing is inserted
        {KindVariable, "", -1, "x", " x"},
    };
    for (const auto &c : cases) {
        SourceBrowserVariable variable(c.kind);
        variable.type = q(c.type);
        variable.namePosition = c.namePosition;
        variable.name = q(c.name);
        EXPECT_EQ(variable.synopsis(0), q(c.expected)) << c.type << " @" << c.namePosition;
        EXPECT_EQ(variable.synopsis(SynopsisReferencePage), variable.synopsis(0))
            << "flags are ignored";
    }
}

TEST(ArgumentText, CutsNameIntoTypeAndStripsReservedPrefixOnRequest) {
    const struct {
        const char *type;
        int namePosition;
        const char *name;
        int flags;
        const char *expected;
    } cases[] = {
        {"char *", -1, "dst", 0, "char *dst"},
        {"const char *", -1, "__src", 0, "const char *__src"},
        {"const char *", -1, "__src", SynopsisStripReservedPrefix, "const char *src"},
        {"int", -1, "_x", SynopsisStripReservedPrefix, "int _x"},
        {"char []", 5, "name", 0, "char name[]"},
        {"void ( * )(int )", 9, "cb", 0, "void ( *cb)(int )"},
        {"  unsigned   int ", -1, "", 0, "unsigned int"},
    };
    for (const auto &c : cases) {
        const SourceBrowserArgument argument{q(c.name), q(c.type), c.namePosition};
        EXPECT_EQ(argument.text(c.flags), q(c.expected)) << c.type << " " << c.name;
    }
}

TEST(MethodSynopsis, RendersEachFlag) {
    SourceBrowserMethod copy;
    copy.name = QStringLiteral("copy");
    copy.type = QStringLiteral("char *");
    copy.arguments = {{QStringLiteral("dst"), QStringLiteral("char *"), -1},
                      {QStringLiteral("__src"), QStringLiteral("const char *"), -1}};
    SourceBrowserMethod reset;
    reset.name = QStringLiteral("reset");
    reset.type = QStringLiteral("void");
    SourceBrowserMethod constructor;
    constructor.name = QStringLiteral("Uart");

    const struct {
        const SourceBrowserMethod *method;
        int flags;
        const char *expected;
    } cases[] = {
        {&copy, 0, "copy (char *dst, const char *__src)"},
        {&copy, SynopsisReturnType, "char *copy (char *dst, const char *__src)"},
        {&copy, SynopsisNoSpaceBeforeParenthesis, "copy(char *dst, const char *__src)"},
        {&copy, SynopsisArgumentPerLine, "copy (char *dst,\n      const char *__src)"},
        {&copy, SynopsisReturnType | SynopsisReturnTypeOnOwnLine,
         "char *\ncopy (char *dst, const char *__src)"},
        {&copy, SynopsisStripReservedPrefix, "copy (char *dst, const char *src)"},
        {&reset, 0, "reset (void)"},
        {&reset, SynopsisReturnType, "void reset (void)"},
        {&constructor, SynopsisReturnType, " Uart (void)"}, // empty return type
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.method->synopsis(c.flags), q(c.expected)) << c.expected;
}

TEST(EnumSynopsis, WithoutValuesKeepsAnEmptyLine) {
    SourceBrowserEnum mode;
    mode.name = QStringLiteral("Mode");
    EXPECT_EQ(mode.synopsis(0), q("typedef enum {\n  \n} Mode"));
}

TEST(ContainerSynopsis, NameForZeroFlagsMembersOtherwise) {
    for (int kind : {int(KindStruct), int(KindClass), int(KindNamespace)}) {
        SourceBrowserContainer point(kind);
        point.name = QStringLiteral("Point");
        for (const char *member : {"x", "y"}) {
            auto *variable = new SourceBrowserVariable;
            variable->name = q(member);
            variable->type = QStringLiteral("int");
            point.addObject(variable);
        }
        auto *method = new SourceBrowserMethod;
        method->name = QStringLiteral("ignored");
        point.addObject(method);
        EXPECT_EQ(point.synopsis(0), q("Point"));
        for (int flags : {int(SynopsisReturnType), int(SynopsisReferencePage)})
            EXPECT_EQ(point.synopsis(flags), q("typedef struct {\n  int x;\n  int y;\n} Point"));
    }
}
