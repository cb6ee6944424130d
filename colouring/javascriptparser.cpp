#include "colouring/javascriptparser.h"

ZodiDideJavaScriptParser::ZodiDideJavaScriptParser()
    : ZodiDideStandardParser(QStringList{
          QStringLiteral("break"),      QStringLiteral("case"),         QStringLiteral("catch"),
          QStringLiteral("continue"),   QStringLiteral("default"),      QStringLiteral("delete"),
          QStringLiteral("do"),         QStringLiteral("else"),         QStringLiteral("finally"),
          QStringLiteral("for"),        QStringLiteral("function"),     QStringLiteral("if"),
          QStringLiteral("in"),         QStringLiteral("instanceof"),   QStringLiteral("new"),
          QStringLiteral("return"),     QStringLiteral("switch"),       QStringLiteral("this"),
          QStringLiteral("throw"),      QStringLiteral("try"),          QStringLiteral("typeof"),
          QStringLiteral("var"),        QStringLiteral("void"),         QStringLiteral("while"),
          QStringLiteral("with"),       QStringLiteral("abstract"),     QStringLiteral("boolean"),
          QStringLiteral("byte"),       QStringLiteral("char"),         QStringLiteral("class"),
          QStringLiteral("const"),      QStringLiteral("debugger"),     QStringLiteral("double"),
          QStringLiteral("enum"),       QStringLiteral("export"),       QStringLiteral("extends"),
          QStringLiteral("final"),      QStringLiteral("float"),        QStringLiteral("goto"),
          QStringLiteral("implements"), QStringLiteral("import"),       QStringLiteral("int"),
          QStringLiteral("interface"),  QStringLiteral("long"),         QStringLiteral("native"),
          QStringLiteral("package"),    QStringLiteral("private"),      QStringLiteral("protected"),
          QStringLiteral("public"),     QStringLiteral("short"),        QStringLiteral("static"),
          QStringLiteral("super"),      QStringLiteral("synchronized"), QStringLiteral("throws"),
          QStringLiteral("transient"),  QStringLiteral("volatile"),
      }) {}
