#ifndef SOURCEBROWSER_CPARSER_H
#define SOURCEBROWSER_CPARSER_H

#include "sourcebrowser/cscanner.h"
#include "sourcebrowser/lineiterator.h"
#include "sourcebrowser/sourcebrowserroot.h"

#include <QList>
#include <QString>

#include <initializer_list>
#include <memory>

// Reads C/C++ headers into a SourceBrowserRoot.
//
// Not a compiler front end: it recognises declarations from a few keywords and
// token shapes (macros, typedefs, typedef'd enums and structs, classes and structs
// with members and base lists, namespaces, variables, prototypes and function
// definitions), keeps declaration text as token text, skips what it does not
// understand and never stops on an error.
//
// A subclass supplies the lines (getLine) and may override the error hook.
//
// Documentation comments: a block comment attaches to every entity whose
// declaration starts on the line after the comment closes or the line after that;
// its raw text lands in the entity's `comment`. Deciding what is documentation is
// left to the reader of the model.
class SourceBrowserCParser : public SourceBrowserLineIterator {
public:
    // `root` is not owned and must outlive the parser.
    explicit SourceBrowserCParser(SourceBrowserRoot *root);
    ~SourceBrowserCParser() override;

    // Reads one file through getLine and files what it declares in the root.
    void parseFile(const QString &fileName);

    // The overview comments of the last parsed file, run together.
    const QString &overviewText() const { return overviewText_; }
    // Where each overview comment of the last file starts (see the scanner's).
    const QList<std::pair<int, int>> &overviewOrigins() const { return overviewOrigins_; }
    // The one-based first lines of the last file's "/*!" comments that document nothing.
    const QList<int> &unattachedDocumentationComments() const { return unattachedComments_; }

    // A problem in the input at the one-based `line`: "Bad struct declaration",
    // "Bad namespace identifier", "Method <name> not found in class <path>" or
    // "Class <path> not found". Does nothing by default.
    virtual void errorMessage(const QString &fileName, int line, const QString &message);

private:
    struct StatementShape;

    void advance();
    bool isIdentifier(const char *word) const;
    int zeroBasedTokenLine() const;
    void push();
    void skipTo(int code);
    void skipGroup();
    QString readTemplateText();
    void attachComment(SourceBrowserObject *entity, int zeroBasedLine) const;
    void stamp(SourceBrowserObject *entity, int zeroBasedLine);

    void fileScope(SourceBrowserContainer *container, bool untilClosingBrace);
    void storage(SourceBrowserContainer *container);
    void dispatch(SourceBrowserContainer *container);
    void declarationStatement(SourceBrowserContainer *container, bool isVirtual);
    void functionStatement(SourceBrowserContainer *container, const StatementShape &shape,
                           bool isVirtual);
    void outOfClassDefinition(SourceBrowserContainer *container, const StatementShape &shape);
    void severalDeclarators(SourceBrowserContainer *container, bool structTyped);
    std::unique_ptr<SourceBrowserVariable> readDeclaration(int kind);
    void finishVariable(SourceBrowserVariable *variable);
    void analyseDeclarator(SourceBrowserVariable *variable);
    QString pendingText(qsizetype from, qsizetype to) const;
    void readFunction(SourceBrowserMethod *method, const StatementShape &shape);
    void readClass(SourceBrowserContainer *container);
    void readBaseList(SourceBrowserContainer *cls);
    void readClassBody(SourceBrowserContainer *cls);
    void readStruct(SourceBrowserContainer *container);
    void readStructBody(SourceBrowserContainer *structure);
    std::unique_ptr<SourceBrowserEnum> readEnum();
    void readNamespace(SourceBrowserContainer *container);
    bool tooDeep() const;
    void skipOutsideBrackets(std::initializer_list<int> ends);

    SourceBrowserRoot *root_; // where declarations are filed; not owned
    // The scanner of the file being read; it lives as long as parseFile.
    std::unique_ptr<SourceBrowserCScanner> scanner_;
    int token_ = -1; // the current token's code (see SourceBrowserTokenCode)
    // Its word, for identifiers and keywords: the scanner's own, read where it stands
    // rather than copied for every token, or none.
    const QString &tokenText() const { return *tokenText_; }
    static const QString noText;
    const QString *tokenText_ = &noText;
    QString fileName_; // the file being read, as given to parseFile
    // The access in force for the next declaration: none at file scope, private at the
    // start of a class body, public in a struct body read as a type.
    int access_ = AccessNone;
    // Tokens read but not yet placed: a declaration is held back until its end shows
    // whether it declares a function or variables, and which word is the name.
    QList<SourceBrowserToken> pending_;
    bool staticSeen_ = false; // "static" or "register" came before the current statement
    int startLine_ = -1;      // zero-based line where the current statement starts
    int nesting_ = 0;         // class, struct and namespace bodies open around the reader
    // What the scanner gathered from the last file (see the accessors above).
    QString overviewText_;
    QList<std::pair<int, int>> overviewOrigins_;
    QList<int> unattachedComments_;
};

#endif
