#include "sourcebrowser/sourcebrowserroot.h"

#include "parsertestutil.h"

#include <gtest/gtest.h>

namespace {

template <typename T>
T *make(int kind, const char *name, const char *file = "a.h") {
    T *entity = new T;
    entity->kind = kind;
    entity->name = QString::fromUtf8(name);
    entity->declarationFile = QString::fromUtf8(file);
    return entity;
}

SourceBrowserVariable *variable(const char *name, const char *type = "int") {
    auto *entity = make<SourceBrowserVariable>(KindVariable, name);
    entity->type = QString::fromUtf8(type);
    return entity;
}

SourceBrowserMethod *method(const char *name, QStringList types = {}) {
    auto *entity = make<SourceBrowserMethod>(KindMethod, name);
    for (const QString &type : types)
        entity->arguments.append({QString(), type, -1});
    return entity;
}

SourceBrowserContainer *container(int kind, const char *name, const char *file = "a.h") {
    auto *entity = new SourceBrowserContainer(kind);
    entity->name = QString::fromUtf8(name);
    entity->declarationFile = QString::fromUtf8(file);
    entity->definitionFile = QString::fromUtf8(file);
    return entity;
}

template <typename List>
QStringList names(const List &list) {
    QStringList out;
    for (const auto *entity : list)
        out.append(entity->qualifiedName());
    return out;
}

} // namespace

TEST(Filing, ReplacesShadowsOrAppendsByKind) {
    SourceBrowserRoot root;
    SourceBrowserVariable *firstCount = variable("count");
    root.addObject(firstCount);
    root.addObject(variable("other"));
    SourceBrowserVariable *secondCount = variable("count", "long");
    root.addObject(secondCount);
    EXPECT_EQ(names(root.allVariables()), QStringList({"other", "count"}));
    EXPECT_EQ(root.findVariable("count"), secondCount);

    SourceBrowserContainer *olderNode = container(KindClass, "Node");
    SourceBrowserContainer *newerNode = container(KindClass, "Node");
    root.addObject(olderNode);
    root.addObject(newerNode);
    EXPECT_EQ(root.findClass("Node"), newerNode);
    EXPECT_EQ(root.allClasses(), QList<SourceBrowserContainer *>({olderNode, newerNode}));
    root.addObject(container(KindStruct, "Node"));
    EXPECT_EQ(root.findClass("Node"), newerNode) << "structs have their own table";

    auto *macro = make<SourceBrowserMacro>(KindMacro, "X");
    root.addObject(macro);
    auto *replacement = make<SourceBrowserMacro>(KindMacro, "X");
    root.addObject(replacement);
    EXPECT_EQ(root.findMacro("X"), replacement);
    EXPECT_EQ(root.allMacros().size(), 1);

    root.addObject(make<SourceBrowserVariable>(KindTypedef, "T"));
    auto *enumeration = make<SourceBrowserEnum>(KindEnum, "T");
    root.addObject(enumeration);
    EXPECT_EQ(root.findType("T"), enumeration) << "typedefs and enums share one table";

    root.addObject(method("f", {"int"}));
    root.addObject(method("f", {"char"}));
    root.addObject(method("f", {"int"}));
    EXPECT_EQ(root.findMethods("f").size(), 3) << "filing never merges methods";
    EXPECT_EQ(root.findMethodBySignature("f (char)"), root.findMethods("f").at(1));

    SourceBrowserObject loose; // kind 0 is not filed anywhere
    root.addObject(&loose);
    EXPECT_EQ(loose.parent, &root);
    EXPECT_TRUE(root.search("^$").size() == 1); // only the root itself has an empty name
}

TEST(Finders, MethodsByNameSignatureAndSameness) {
    SourceBrowserContainer cls(KindClass);
    cls.name = QStringLiteral("Uart");
    SourceBrowserMethod *sendInt = method("send", {"int"});
    SourceBrowserMethod *sendText = method("send", {"const char *", "int"});
    SourceBrowserMethod *reset = method("reset");
    for (SourceBrowserMethod *m : {sendInt, reset, sendText})
        cls.addObject(m);
    EXPECT_EQ(cls.findMethods("send"), QList<SourceBrowserMethod *>({sendInt, sendText}));
    EXPECT_TRUE(cls.findMethods("missing").isEmpty());

    std::unique_ptr<SourceBrowserMethod> probe(method("send", {"int"}));
    probe->arguments[0].name = QStringLiteral("differentName");
    EXPECT_EQ(cls.findSameMethod(probe.get()), sendInt);
    EXPECT_EQ(cls.findMethodBySignature("reset (void)"), reset);
    EXPECT_FALSE(cls.hasVirtualMethods());
    sendText->isVirtual = true;
    EXPECT_TRUE(cls.hasVirtualMethods());

    cls.removeMethod(sendInt);
    EXPECT_EQ(cls.findMethods("send"), QList<SourceBrowserMethod *>({sendText}));
    EXPECT_EQ(cls.findSameMethod(probe.get()), nullptr);
    EXPECT_EQ(cls.findMethodBySignature("send (int)"), nullptr);
    EXPECT_EQ(cls.allMethods(), QList<SourceBrowserMethod *>({reset, sendText}));
}

TEST(Finders, TopLevelOnlyListsUnscopedEntries) {
    SourceBrowserRoot root;
    SourceBrowserContainer *outer = container(KindClass, "Outer");
    root.addObject(outer);
    SourceBrowserContainer *inner = container(KindClass, "Inner");
    root.addObject(inner);
    outer->addObject(inner); // a nested class sits in both
    root.addObject(container(KindStruct, "S"));
    EXPECT_EQ(names(root.topLevelClasses()), QStringList({"Outer"}));
    EXPECT_EQ(names(root.allClasses()), QStringList({"Outer.Inner", "Outer"}));
    EXPECT_EQ(root.findClassByQualifiedName("Outer.Inner"), inner);
    EXPECT_EQ(root.findClassByQualifiedName("Inner"), nullptr);
    EXPECT_EQ(names(root.topLevelStructs()), QStringList({"S"}));
    EXPECT_TRUE(root.hasClass("Inner"));
}

TEST(ForgetFile, DropsWhatOnlyThatFileRecorded) {
    SourceBrowserRoot root;
    root.addObject(variable("fromA"));
    SourceBrowserVariable *fromB = variable("fromB");
    fromB->declarationFile = QStringLiteral("b.h");
    root.addObject(fromB);

    SourceBrowserMethod *declaredInA = method("f");
    declaredInA->definitionFile = QStringLiteral("f.c");
    declaredInA->definitionLine = 7;
    declaredInA->declarationLine = 3;
    SourceBrowserMethod *definedInA = method("g");
    definedInA->declarationFile = QStringLiteral("g.h");
    definedInA->definitionFile = QStringLiteral("a.h");
    definedInA->definitionLine = 9;
    for (SourceBrowserMethod *m : {declaredInA, definedInA, method("h")}) // h: a.h only
        root.addObject(m);

    SourceBrowserContainer *onlyA = container(KindClass, "OnlyA");
    root.addObject(onlyA);
    SourceBrowserContainer *split = container(KindClass, "Split");
    split->definitionFile = QStringLiteral("split.cpp");
    split->baseClasses.append({QStringLiteral("Base"), 258});
    split->addObject(variable("member"));
    SourceBrowserMethod *kept = method("kept");
    kept->definitionFile = QStringLiteral("split.cpp");
    split->addObject(kept);
    root.addObject(split);
    root.addObject(make<SourceBrowserMacro>(KindMacro, "M"));
    root.addObject(make<SourceBrowserVariable>(KindTypedef, "T"));

    root.forgetFile(QStringLiteral("a.h"));

    EXPECT_EQ(names(root.allVariables()), QStringList({"fromB"}));
    EXPECT_EQ(names(root.allMethods()), QStringList({"f", "g"}));
    const auto where = [](const SourceBrowserMethod *m) {
        return QStringLiteral("%1:%2 %3:%4")
            .arg(m->declarationFile)
            .arg(m->declarationLine)
            .arg(m->definitionFile)
            .arg(m->definitionLine);
    };
    EXPECT_EQ(where(declaredInA), QStringLiteral(":-1 f.c:7"));
    EXPECT_EQ(where(definedInA), QStringLiteral("g.h:-1 :-1"));

    EXPECT_FALSE(root.hasClass("OnlyA"));
    ASSERT_EQ(root.findClass("Split"), split);
    EXPECT_TRUE(split->declarationFile.isEmpty());
    EXPECT_TRUE(split->allVariables().isEmpty()) << "members are read again from the file";
    EXPECT_TRUE(split->baseClasses.isEmpty());
    EXPECT_EQ(names(split->allMethods()), QStringList({"Split.kept"}));
    EXPECT_NE(root.findMacro("M"), nullptr);
    EXPECT_NE(root.findType("T"), nullptr);
}
