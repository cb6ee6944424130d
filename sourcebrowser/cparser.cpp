#include "sourcebrowser/cparser.h"

#include "common/textappender.h"

#include <QFileInfo>

#include <algorithm>
#include <initializer_list>

// The comment above each reading function gives what it reads: quoted tokens stand
// for themselves, NAME for an identifier, STRING for a string literal, "..." for
// tokens passed over unread, [x] for an optional x and x* for any number of them.

namespace {

// Deeper class, struct or namespace bodies are skipped rather than read, which
// bounds the recursion of the reader (and of the model) whatever the input.
const int MaxNesting = 128;

// The tokens that storage() reads.
bool isStorageToken(int token) {
    switch (token) {
    case TokenExtern:
    case TokenRegister:
    case TokenStatic:
    case TokenEnum:
    case TokenTypedef:
    case TokenTemplate:
    case TokenThrow:
        return true;
    default:
        return false;
    }
}

// The access an access keyword gives.
int accessOf(int token) {
    switch (token) {
    case TokenPublic:
        return AccessPublic;
    case TokenProtected:
        return AccessProtected;
    default:
        return AccessPrivate;
    }
}

// The bracket that closes `opener` ("(", "[" or "{").
int closerOf(int opener) {
    switch (opener) {
    case '(':
        return ')';
    case '[':
        return ']';
    default:
        return '}';
    }
}

} // namespace

// How a declaration statement that turned out to be a function is laid out in
// the pending tokens.
struct SourceBrowserCParser::StatementShape {
    QString name;          // "f", "~Uart", or an operator's symbol such as "=="
    QString classPath;     // "A.B" for "A::B::f"; empty unless defined outside its class
    qsizetype typeEnd = 0; // pending tokens before this index form the return type
};

SourceBrowserCParser::SourceBrowserCParser(SourceBrowserRoot *root) : root_(root) {}

const QString SourceBrowserCParser::noText;

SourceBrowserCParser::~SourceBrowserCParser() = default;

void SourceBrowserCParser::errorMessage(const QString &, int, const QString &) {}

void SourceBrowserCParser::parseFile(const QString &fileName) {
    fileName_ = fileName;

    access_ = AccessNone;
    token_ = -1;
    tokenText_ = &noText;
    staticSeen_ = false;
    startLine_ = -1;
    pending_.clear();
    nesting_ = 0;

    scanner_ = std::make_unique<SourceBrowserCScanner>(this, root_);
    fileScope(root_, false);
    overviewText_ = scanner_->overviewText();
    overviewOrigins_ = scanner_->overviewOrigins();
    unattachedComments_ = scanner_->unattachedDocumentationComments();
    tokenText_ = &noText;
    scanner_.reset();
    pending_.clear();
}

// ---------------------------------------------------------------------------
// Token level

// Moves to the next token, passing over the compiler's own attributes and qualifiers
// (with their bracketed arguments).
void SourceBrowserCParser::advance() {
    const auto fetch = [this] {
        token_ = scanner_->nextToken();
        tokenText_ = &scanner_->tokenText();
    };
    fetch();
    // Compiler-specific attributes carry nothing the documentation needs. All of their
    // names start with "_" or "a", which most words do not.
    while (token_ == TokenIdentifier && !tokenText().isEmpty() &&
           (tokenText().front() == u'_' || tokenText().front() == u'a')) {
        if (tokenText() == QLatin1String("__attribute__") ||
            tokenText() == QLatin1String("__interrupt") ||
            tokenText() == QLatin1String("__ctl_interrupt") ||
            tokenText() == QLatin1String("asm") || tokenText() == QLatin1String("__asm")) {
            fetch();
            if (token_ == '(' || token_ == '[' || token_ == '{') {
                skipGroup();
                fetch();
            }
        } else if (tokenText() == QLatin1String("__monitor") ||
                   tokenText() == QLatin1String("__toplevel") ||
                   tokenText() == QLatin1String("__packed")) {
            fetch();
        } else {
            break;
        }
    }
}

// Whether the current token is the identifier `word`.
bool SourceBrowserCParser::isIdentifier(const char *word) const {
    return token_ == TokenIdentifier && tokenText() == QLatin1String(word);
}

// The line of the current token, zero-based as the model's lines are.
int SourceBrowserCParser::zeroBasedTokenLine() const {
    return scanner_->tokenLine() - 1;
}

// Holds the current token back in pending_.
void SourceBrowserCParser::push() {
    pending_.append(SourceBrowserToken{token_, tokenText()});
}

// Passes over tokens up to the next `code` (or the end of the input).
void SourceBrowserCParser::skipTo(int code) {
    while (token_ != code && token_ != TokenEnd)
        advance();
}

// group: "(" ... ")" | "[" ... "]" | "{" ... "}", brackets of its kind nested inside;
// ends on the closing bracket.
void SourceBrowserCParser::skipGroup() {
    // A counter, not recursion: hostile input may nest without limit.
    const int opener = token_;
    const int closer = closerOf(opener);
    scanner_->setRawMode(true);
    int depth = 1;
    int token = opener;
    while (depth > 0) {
        token = scanner_->nextToken();
        if (token == opener)
            ++depth;
        else if (token == closer)
            --depth;
        else if (token == TokenEnd)
            break;
    }
    scanner_->setRawMode(false);
    token_ = token;
    tokenText_ = &noText;
}

// template-arguments: "<" (token | template-arguments)* ">"; returns their text, ends on
// the closing ">".
QString SourceBrowserCParser::readTemplateText() {
    QString text;
    int depth = 0;
    for (;;) {
        text += SourceBrowserToken::textOf(token_, tokenText());
        if (token_ == '<')
            ++depth;
        else if (token_ == '>')
            --depth;
        else if (token_ == ',')
            text += QLatin1Char(' ');
        if (depth <= 0 || token_ == TokenEnd)
            return text;
        advance();
    }
}

// Gives `entity` the kept block comment when it closed on the line before
// `zeroBasedLine` or the one before that.
void SourceBrowserCParser::attachComment(SourceBrowserObject *entity, int zeroBasedLine) const {
    const int end = scanner_->commentEndLine();
    if (end < 0)
        return;
    const int distance = zeroBasedLine - end;
    if (distance == 0 || distance == 1) {
        entity->comment = scanner_->commentText();
        entity->commentLine = scanner_->commentStartLine();
        scanner_->markCommentAttached();
    }
}

// Records where and under which group and access `entity` is declared.
void SourceBrowserCParser::stamp(SourceBrowserObject *entity, int zeroBasedLine) {
    entity->group = scanner_->group();
    entity->declarationLine = zeroBasedLine;
    entity->declarationFile = fileName_;
    entity->definitionFile = fileName_;
    entity->access = access_;
}

// The text of pending tokens [from, to), each followed by a space.
QString SourceBrowserCParser::pendingText(qsizetype from, qsizetype to) const {
    // Sized first: a declaration's type is made of a few short words, and growing the
    // text word by word would allocate it anew at almost every word.
    qsizetype size = 0;
    for (qsizetype i = from; i < to; ++i) {
        const qsizetype word =
            SourceBrowserToken::textOf(pending_.at(i).code, pending_.at(i).text).size();
        size += word > 0 ? word + 1 : 0;
    }
    QString text; // null without a word, as before any was added
    if (size > 0)
        text.reserve(size);
    TextAppender appender(text);
    for (qsizetype i = from; i < to; ++i) {
        const QString word = SourceBrowserToken::textOf(pending_.at(i).code, pending_.at(i).text);
        if (word.isEmpty())
            continue;
        appender += word;
        appender += QLatin1Char(' ');
    }
    return text;
}

// Whether one more body would nest deeper than the reader goes.
bool SourceBrowserCParser::tooDeep() const {
    return nesting_ >= MaxNesting;
}

// Passes over tokens, brackets and all, up to the first of `ends` that stands outside
// every bracket (or the end of the input).
void SourceBrowserCParser::skipOutsideBrackets(std::initializer_list<int> ends) {
    int depth = 0;
    while (token_ != TokenEnd &&
           !(depth <= 0 && std::find(ends.begin(), ends.end(), token_) != ends.end())) {
        if (token_ == '(' || token_ == '[' || token_ == '{')
            ++depth;
        else if (token_ == ')' || token_ == ']' || token_ == '}')
            --depth;
        advance();
    }
}

// ---------------------------------------------------------------------------
// File scope

// scope: ("using" ... ";" | (storage | item) [STRING ["{"]])* up to the end, or up to
// the "}" of a namespace body. STRING "{" is extern "C" and its block, whose
// declarations belong to the scope and whose "}" is passed over like a stray one.
void SourceBrowserCParser::fileScope(SourceBrowserContainer *container, bool untilClosingBrace) {
    const auto finished = [&] {
        return token_ == TokenEnd || (untilClosingBrace && token_ == '}');
    };
    advance();
    while (!finished()) {
        while (token_ == TokenUsing) {
            skipTo(';');
            advance();
        }
        if (finished())
            break;
        startLine_ = zeroBasedTokenLine();
        if (isStorageToken(token_))
            storage(container);
        else
            dispatch(container);
        advance();
        // extern "C" and extern "C" { ... }: the block's contents are read as if
        // at this level; its closing brace is ignored like any stray one.
        if (token_ == TokenString) {
            advance();
            if (token_ == '{')
                advance();
        }
    }
}

// storage: "static" | "register" | "extern" | "throw" | enum | "template" ["<" ... ">"]
//        | "typedef" (struct-or-union ... ";" | enum NAME ... ";" | declarator)
// Static and register mark the declaration that follows; extern and throw leave it to
// the next item.
void SourceBrowserCParser::storage(SourceBrowserContainer *container) {
    switch (token_) {
    case TokenStatic:
    case TokenRegister:
        staticSeen_ = true;
        break;
    case TokenEnum:
        readEnum(); // only typedef'd enums are recorded
        break;
    case TokenTemplate:
        // The templated declaration that follows is read as if this were absent.
        advance();
        if (token_ == '<') {
            readTemplateText();
        } else {
            scanner_->pushBack(token_, tokenText());
            token_ = TokenTemplate;
        }
        break;
    case TokenTypedef:
        advance();
        if (token_ == TokenStruct || token_ == TokenUnion) {
            readStruct(container);
            skipTo(';');
        } else if (token_ == TokenEnum) {
            std::unique_ptr<SourceBrowserEnum> enumeration = readEnum();
            if (token_ == TokenIdentifier) {
                enumeration->name = tokenText();
                container->addObject(enumeration.release());
            }
            skipTo(';');
        } else if (token_ == TokenIdentifier || token_ == TokenConst || token_ == TokenVolatile) {
            pending_.clear();
            std::unique_ptr<SourceBrowserVariable> type = readDeclaration(KindTypedef);
            if (type && !type->name.isEmpty())
                container->addObject(type.release());
        }
        break;
    default: // extern, throw: the next token starts the declaration
        break;
    }
    pending_.clear();
}

// item: "{" ... "}" | class | namespace | statement
void SourceBrowserCParser::dispatch(SourceBrowserContainer *container) {
    switch (token_) {
    case '{':
        skipGroup();
        break;
    case TokenClass:
    case TokenStruct:
        readClass(container);
        break;
    case TokenNamespace:
        readNamespace(container);
        break;
    case TokenIdentifier:
        declarationStatement(container, false);
        staticSeen_ = false;
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Declaration statements

// statement: token+ ("(" function | "(" "*" declarator | declarators | declarator)
// It starts with a NAME (in bodies also with "const", "volatile", "operator" or "~").
// The tokens before "(", "=" or ";" are held in pending_ (template arguments left out;
// "operator" takes every token up to its "(") until it is clear what they declare.
void SourceBrowserCParser::declarationStatement(SourceBrowserContainer *container, bool isVirtual) {
    pending_.clear();
    bool several = false;
    bool operatorMode = false;
    while (token_ != ';' && token_ != '=' && token_ != '(' && token_ != TokenEnd) {
        if (token_ == '<') {
            readTemplateText(); // template arguments are not part of the declaration text
            advance();
            continue;
        }
        if (token_ == TokenOperator) {
            // Everything up to the parameter list names the operator; "operator()"
            // brings its own parentheses.
            operatorMode = true;
            push();
            advance();
            if (token_ == '(') {
                push();
                advance();
            }
            while (token_ != '(' && token_ != ';' && token_ != TokenEnd) {
                push();
                advance();
            }
            break;
        }
        if (token_ == ',')
            several = true;
        push();
        advance();
    }

    if (token_ == '(') {
        advance();
        if (token_ == '*' && !operatorMode) {
            // "type (*name)(parameters)": a pointer to a function, read as a variable.
            scanner_->pushBack('*', QString());
            scanner_->pushBack('(', QString());
            advance();
            std::unique_ptr<SourceBrowserVariable> variable = readDeclaration(KindVariable);
            if (variable && !variable->name.isEmpty())
                container->addObject(variable.release());
            return;
        }

        StatementShape shape;
        qsizetype nameStart = pending_.size() - 1;
        if (operatorMode) {
            while (nameStart > 0 && pending_.at(nameStart).code != TokenOperator)
                --nameStart;
            for (qsizetype i = nameStart + 1; i < pending_.size(); ++i)
                shape.name += SourceBrowserToken::textOf(pending_.at(i).code, pending_.at(i).text);
        } else if (nameStart >= 0) {
            shape.name = SourceBrowserToken::textOf(pending_.at(nameStart).code,
                                                    pending_.at(nameStart).text);
            if (nameStart > 0 && pending_.at(nameStart - 1).code == '~') {
                --nameStart;
                shape.name.prepend(QLatin1Char('~'));
            }
        }
        // "A::B::f": the class path is the chain of qualifiers right before the name.
        QStringList path;
        qsizetype i = qMax<qsizetype>(nameStart, 0);
        while (i >= 2 && pending_.at(i - 1).code == TokenScope &&
               pending_.at(i - 2).code == TokenIdentifier) {
            path.prepend(pending_.at(i - 2).text);
            i -= 2;
        }
        shape.classPath = path.join(QLatin1Char('.'));
        shape.typeEnd = i;
        if (shape.classPath.isEmpty())
            functionStatement(container, shape, isVirtual);
        else
            outOfClassDefinition(container, shape);
        return;
    }

    if (token_ == TokenEnd)
        return;
    if (several) {
        severalDeclarators(container, false);
        return;
    }
    auto variable = std::make_unique<SourceBrowserVariable>(KindVariable);
    variable->group = scanner_->group();
    finishVariable(variable.get());
    if (!variable->name.isEmpty())
        container->addObject(variable.release());
}

// function, at the level where it is declared: files the method, merged with an earlier
// declaration of the same signature.
void SourceBrowserCParser::functionStatement(SourceBrowserContainer *container,
                                             const StatementShape &shape, bool isVirtual) {
    auto method = std::make_unique<SourceBrowserMethod>();
    method->group = scanner_->group();
    readFunction(method.get(), shape);
    if (method->name.isEmpty())
        return;
    method->isVirtual = isVirtual;

    // A prototype and its definition become one method that knows both places.
    if (SourceBrowserMethod *old = container->findSameMethod(*method)) {
        if (method->definitionFile.isEmpty()) {
            method->definitionFile = old->definitionFile;
            method->definitionLine = old->definitionLine;
            method->definitionEndLine = old->definitionEndLine;
        }
        if (!isVirtual) {
            if (method->declarationFile.isEmpty()) {
                method->declarationFile = old->declarationFile;
                method->declarationLine = old->declarationLine;
                method->declarationEndLine = old->declarationEndLine;
            }
            if (method->comment.isEmpty())
                method->comment = old->comment;
        }
        container->removeMethod(old);
    }
    container->addObject(method.release());
}

// function, defined outside its class ("A::B::f"): records the definition in the method
// declared in the class.
void SourceBrowserCParser::outOfClassDefinition(SourceBrowserContainer *container,
                                                const StatementShape &shape) {
    SourceBrowserMethod method;
    readFunction(&method, shape);
    if (token_ == ';')
        return;

    const QString &path = shape.classPath;
    const QString enclosing = container->qualifiedName();
    const QString nested = enclosing.isEmpty() ? QString() : enclosing + QLatin1Char('.') + path;
    SourceBrowserContainer *cls = root_->findClassByQualifiedName(path);
    if (!cls && !nested.isEmpty())
        cls = root_->findClassByQualifiedName(nested);
    if (!cls && !path.contains(QLatin1Char('.')))
        cls = root_->findClass(path);
    if (!cls)
        cls = root_->findStructByQualifiedName(path);
    if (!cls && !nested.isEmpty())
        cls = root_->findStructByQualifiedName(nested);

    if (!cls) {
        errorMessage(fileName_, startLine_ + 1,
                     QLatin1String("Class ") + path + QLatin1String(" not found"));
        return;
    }
    SourceBrowserMethod *declared = cls->findSameMethod(method);
    if (!declared) {
        errorMessage(fileName_, startLine_ + 1,
                     QLatin1String("Method ") + method.name +
                         QLatin1String(" not found in class ") + path);
        return;
    }
    declared->definitionFile = fileName_;
    declared->definitionLine = startLine_;
    declared->definitionEndLine = zeroBasedTokenLine();
    cls->definitionFile = fileName_;
}

// function: [parameter ("," parameter)*] ")" ("const" | "override" | "final"
//           | "noexcept" ["(" ... ")"])* [":" initialiser ("," initialiser)*]
//           ["throw" ... ")"] ("{" ... "}" | ";")
// initialiser: ... ("(" ... ")" | "{" ... "}")
// parameter: declarator
void SourceBrowserCParser::readFunction(SourceBrowserMethod *method, const StatementShape &shape) {
    method->name = shape.name;
    method->type = pendingText(0, shape.typeEnd).trimmed();

    // The current token is the one after "(".
    if (token_ != ')' && token_ != ';') {
        for (;;) {
            pending_.clear();
            std::unique_ptr<SourceBrowserVariable> parameter = readDeclaration(KindVariable);
            if (parameter && parameter->type != QLatin1String("void"))
                method->arguments.append(SourceBrowserArgument{parameter->name, parameter->type,
                                                               parameter->namePosition});
            if (token_ != ',')
                break;
            advance();
        }
    }
    pending_.clear();

    method->access = access_;
    method->isStatic = staticSeen_;

    if (token_ == ')')
        advance();
    for (;;) {
        if (token_ == TokenConst) {
            method->isConst = true;
            advance();
        } else if (isIdentifier("override") || isIdentifier("final")) {
            advance();
        } else if (isIdentifier("noexcept")) {
            advance();
            if (token_ == '(') {
                skipGroup();
                advance();
            }
        } else {
            break;
        }
    }
    if (token_ == ':') {
        // Constructor initialisers: each member name is followed by a bracketed
        // initialiser; the body is the brace that follows none.
        advance();
        for (;;) {
            while (token_ != '(' && token_ != '{' && token_ != ';' && token_ != TokenEnd)
                advance();
            if (token_ != '(' && token_ != '{')
                break;
            skipGroup();
            advance();
            if (token_ != ',')
                break;
            advance();
        }
    }
    if (token_ == TokenThrow) {
        skipTo(')');
        if (token_ == ')')
            advance();
    }

    if (token_ == '{') {
        skipGroup();
        method->definitionFile = fileName_;
        method->definitionLine = startLine_;
        method->definitionEndLine = zeroBasedTokenLine();
        attachComment(method, method->definitionLine);
    } else {
        method->declarationFile = fileName_;
        method->declarationLine = startLine_;
        method->declarationEndLine = zeroBasedTokenLine();
        attachComment(method, method->declarationLine);
    }
}

// declarator: (token | "(" "*" token* ")" ["(" ... ")"] | template-arguments)*
//             ["=" ...] up to ";", "," or ")"
// The initialiser is passed over; null when there were no tokens.
std::unique_ptr<SourceBrowserVariable> SourceBrowserCParser::readDeclaration(int kind) {
    while (token_ != ';' && token_ != ',' && token_ != ')' && token_ != TokenEnd) {
        if (token_ == '=') {
            // Initialisers and default arguments are not kept; brackets inside them
            // do not end the declaration.
            advance();
            skipOutsideBrackets({';', ',', ')'});
            break;
        }
        if (token_ == '(') {
            advance();
            if (token_ != '*') {
                pending_.append(SourceBrowserToken{'(', QString()});
                continue;
            }
            // "(*name)" and then the parameter list of the pointed-to function.
            pending_.append(SourceBrowserToken{'(', QString()});
            push();
            advance();
            while (token_ != ')' && token_ != ';' && token_ != TokenEnd) {
                push();
                advance();
            }
            if (token_ == ')') {
                push();
                advance();
            }
            if (token_ == '(') {
                int depth = 0;
                while (token_ != TokenEnd) {
                    if (token_ == '(')
                        ++depth;
                    else if (token_ == ')')
                        --depth;
                    push();
                    advance();
                    if (depth == 0)
                        break;
                }
            }
            continue;
        }
        if (token_ == '<') {
            // "QList<int> list": the arguments stay with the template's name, so
            // that the word after them is still seen as the declared name.
            const QString arguments = readTemplateText();
            if (!pending_.isEmpty() && pending_.last().code == TokenIdentifier)
                pending_.last().text += arguments;
            else
                pending_.append(SourceBrowserToken{TokenIdentifier, arguments});
            advance();
            continue;
        }
        push();
        advance();
    }
    if (pending_.isEmpty())
        return nullptr;

    auto variable = std::make_unique<SourceBrowserVariable>(kind);
    variable->group = scanner_->group();
    finishVariable(variable.get());
    variable->declarationEndLine = zeroBasedTokenLine();
    return variable;
}

// The end of a declarator: variable's type and name from the pending tokens, then
// ["=" ... ";"].
void SourceBrowserCParser::finishVariable(SourceBrowserVariable *variable) {
    analyseDeclarator(variable);
    const QString prefix = pendingText(0, pending_.size());
    variable->type = QString(prefix + variable->type).trimmed();
    variable->namePosition = int(prefix.size());
    pending_.clear();

    if (token_ == '=')
        skipTo(';');
    if (token_ == TokenEnd)
        variable->name.clear();
    else
        variable->declarationEndLine = zeroBasedTokenLine();
    attachComment(variable, variable->declarationLine);
}

// Takes the declarator in pending_ apart from the right: trailing "const", the
// parameter list of a function type, array dimensions, a bit-field width, then the
// name; what is left is the type.
void SourceBrowserCParser::analyseDeclarator(SourceBrowserVariable *variable) {
    const auto lastCode = [this] { return pending_.isEmpty() ? -1 : pending_.last().code; };
    // Suffix pieces from right to left; joined in reverse at the end so that no
    // string is rebuilt once per token.
    QStringList pieces;

    while (lastCode() == TokenConst || lastCode() == TokenVolatile)
        pending_.removeLast();

    if (lastCode() == ')') {
        // The parameter list of a function type, "(*name)(int a)".
        int depth = 0;
        int following = -1; // the code of the token after the one taken, in source order
        bool inBrackets = false;
        while (!pending_.isEmpty()) {
            const SourceBrowserToken token = pending_.takeLast();
            if (token.code == ')')
                ++depth;
            else if (token.code == '(')
                --depth;
            if (inBrackets) {
                if (token.code == '[') {
                    inBrackets = false;
                    pieces.append(QStringLiteral("[ "));
                }
            } else if (token.code == ']') {
                inBrackets = true;
                pieces.append(QStringLiteral("] "));
            } else if (token.code == '(') {
                pieces.append(QStringLiteral("("));
            } else if (!(token.code == TokenIdentifier && token.text == QLatin1String("void") &&
                         following == ')')) {
                const QString text = SourceBrowserToken::textOf(token.code, token.text);
                if (!text.isEmpty()) {
                    // Joined in reverse: the space comes first here.
                    pieces.append(QStringLiteral(" "));
                    pieces.append(text);
                }
            }
            following = token.code;
            if (depth == 0)
                break;
        }
        if (lastCode() == ')') {
            pending_.removeLast();
            pieces.append(QStringLiteral(")"));
        }
    }

    while (lastCode() == ']') {
        // Array dimensions are not kept.
        int depth = 0;
        while (!pending_.isEmpty()) {
            const int code = pending_.takeLast().code;
            if (code == ']')
                ++depth;
            else if (code == '[')
                --depth;
            if (depth == 0)
                break;
        }
        pieces.append(QStringLiteral("[]"));
    }

    if (lastCode() == TokenNumber) {
        // A bit-field width.
        while (!pending_.isEmpty() && lastCode() != TokenIdentifier)
            pending_.removeLast();
    }

    if (lastCode() == TokenIdentifier && pending_.size() >= 2) {
        switch (pending_.at(pending_.size() - 2).code) {
        case TokenIdentifier:
        case '}':
        case '*':
        case ',':
        case TokenConst:
        case TokenVolatile:
        case '&':
            variable->name = pending_.takeLast().text;
            break;
        default: // "void", "int", "A::b", "T<x>": no name of its own
            break;
        }
    }

    if (!pieces.isEmpty()) {
        qsizetype size = variable->type.size();
        for (const QString &piece : std::as_const(pieces))
            size += piece.size();
        variable->type.reserve(size);
        TextAppender type(variable->type);
        for (auto it = pieces.crbegin(); it != pieces.crend(); ++it)
            type += *it;
    }
    variable->declarationFile = fileName_;
    variable->declarationLine = zeroBasedTokenLine();
    variable->access = access_;
}

// declarators: declarator ("," declarator)*, the type words before the first shared
void SourceBrowserCParser::severalDeclarators(SourceBrowserContainer *container, bool structTyped) {
    // "int a, *b, c[4]": the type words before the first declarator are shared;
    // each declarator adds its own pointer stars and suffix.
    QList<QList<SourceBrowserToken>> segments(1);
    for (const SourceBrowserToken &token : std::as_const(pending_)) {
        if (token.code == ',')
            segments.append(QList<SourceBrowserToken>());
        // Later segments keep their comma: it marks the lone name as a declarator.
        segments.last().append(token);
    }

    QString shared;
    std::vector<std::unique_ptr<SourceBrowserVariable>> variables;
    for (qsizetype s = 0; s < segments.size(); ++s) {
        auto variable = std::make_unique<SourceBrowserVariable>(KindVariable);
        variable->group = scanner_->group();
        pending_ = segments.at(s);
        analyseDeclarator(variable.get());
        qsizetype own = 0;
        if (s == 0) {
            // The first declarator's stars (and const after them) are its own.
            own = pending_.size();
            for (qsizetype i = pending_.size() - 1; i >= 0; --i) {
                const int code = pending_.at(i).code;
                if (code == '*' || code == '&')
                    own = i;
                else if (code != TokenConst && code != TokenVolatile)
                    break;
            }
            shared = pendingText(0, own);
        } else if (!pending_.isEmpty() && pending_.first().code == ',') {
            own = 1;
        }
        const QString head = shared + pendingText(own, pending_.size());
        variable->type = structTyped ? head.trimmed() : QString(head + variable->type).trimmed();
        variable->namePosition = int(head.size());
        attachComment(variable.get(), variable->declarationLine);
        variables.push_back(std::move(variable));
    }
    pending_.clear();

    if (token_ == '=')
        skipTo(';');
    if (token_ == TokenEnd)
        return;
    for (auto &variable : variables) {
        variable->declarationEndLine = zeroBasedTokenLine();
        if (!variable->name.isEmpty())
            container->addObject(variable.release());
    }
}

// ---------------------------------------------------------------------------
// Classes, structs, enums, namespaces

// class: ("class" | "struct") [NAME ("::" NAME)* ["final"]] [":" base-list] "{" class-body
// Without a body (a forward declaration, or "struct tag" as a type) nothing is filed.
void SourceBrowserCParser::readClass(SourceBrowserContainer *container) {
    const int kind = token_ == TokenClass ? KindClass : KindStruct;
    advance();
    auto fresh = std::make_unique<SourceBrowserContainer>(kind);
    stamp(fresh.get(), zeroBasedTokenLine());

    QString name;
    while (token_ == TokenIdentifier || token_ == TokenScope) {
        if (token_ == TokenIdentifier &&
            !(tokenText() == QLatin1String("final") && !name.isEmpty()))
            name = tokenText();
        advance();
    }
    // A forward declaration, or "struct tag" used as a type.
    if (token_ != '{' && token_ != ':')
        return;
    if (name.isEmpty())
        name = QStringLiteral("(Anonymous)");
    fresh->name = name;

    const QString scope = container->qualifiedName();
    const QString qualified = scope.isEmpty() ? name : scope + QLatin1Char('.') + name;
    SourceBrowserContainer *cls = root_->findClassByQualifiedName(qualified);
    if (cls) {
        // Declared again (in another branch of a conditional): continue filling the
        // class already known.
        cls->declarationLine = fresh->declarationLine;
        cls->declarationFile = fileName_;
        cls->scope = scope;
    } else {
        cls = fresh.release();
        root_->addObject(cls);
        if (container != root_)
            container->addObject(cls);
    }

    if (token_ == ':')
        readBaseList(cls);
    readClassBody(cls);
}

// base-list: base ("," base)*
// base: ("public" | "protected" | "private" | "virtual")* (token | template-arguments)*
void SourceBrowserCParser::readBaseList(SourceBrowserContainer *cls) {
    do {
        advance();
        SourceBrowserBaseClass base;
        for (;;) {
            if (token_ == TokenPublic || token_ == TokenProtected || token_ == TokenPrivate)
                base.access = accessOf(token_);
            else if (token_ != TokenVirtual)
                break;
            advance();
        }
        while (token_ != ',' && token_ != '{' && token_ != TokenEnd) {
            if (token_ == '<')
                base.name += readTemplateText();
            else
                base.name += SourceBrowserToken::textOf(token_, tokenText());
            advance();
        }
        cls->baseClasses.append(base);
    } while (token_ == ',');
}

// class-body: ("public" | "protected" | "private" | ("Q_PROPERTY" | "Q_ENUM" | "Q_OVERRIDE")
//              "(" ... ")" | storage | ["virtual"] statement | class
//              | struct-or-union ... ";")* "}"
// An access label's ":" is passed over like any stray token.
void SourceBrowserCParser::readClassBody(SourceBrowserContainer *cls) {
    attachComment(cls, cls->declarationLine);
    // Class and struct bodies alike start private.
    const int savedAccess = access_;
    access_ = AccessPrivate;
    if (tooDeep()) {
        if (token_ == '{')
            skipGroup();
        cls->declarationEndLine = zeroBasedTokenLine();
        access_ = savedAccess;
        return;
    }
    ++nesting_;
    bool closed = false;
    for (;;) {
        advance();
        startLine_ = zeroBasedTokenLine();
        if (token_ == TokenEnd)
            break;
        if (token_ == '}') {
            cls->declarationEndLine = startLine_;
            break;
        }
        if (isIdentifier("Q_PROPERTY") || isIdentifier("Q_ENUM") || isIdentifier("Q_OVERRIDE")) {
            advance();
            if (token_ == '(')
                skipGroup();
            else
                skipTo(')');
            continue;
        }
        if (isStorageToken(token_)) {
            storage(cls);
            continue;
        }
        switch (token_) {
        case TokenPublic:
        case TokenProtected:
        case TokenPrivate:
            access_ = accessOf(token_);
            break;
        case TokenIdentifier:
        case TokenConst:
        case TokenOperator:
        case '~':
            declarationStatement(cls, false);
            staticSeen_ = false;
            break;
        case TokenVirtual:
            advance();
            declarationStatement(cls, true);
            staticSeen_ = false;
            break;
        case TokenClass:
        case TokenStruct:
            readClass(cls);
            break;
        case TokenUnion:
            // Read like a member union of a struct, so that its braces do not end
            // the class.
            readStruct(cls);
            while (token_ != ';' && token_ != '}' && token_ != TokenEnd)
                advance();
            if (token_ == '}') {
                cls->declarationEndLine = zeroBasedTokenLine();
                closed = true;
            }
            break;
        default:
            break;
        }
        if (closed)
            break;
    }
    --nesting_;
    access_ = savedAccess;
}

// struct-or-union: ("struct" | "union") [NAME] ("{" struct-body [NAME] | declarators)
void SourceBrowserCParser::readStruct(SourceBrowserContainer *container) {
    pending_.clear();
    while (token_ != '{' && token_ != ';' && token_ != TokenEnd) {
        push();
        advance();
    }

    if (token_ != '{') {
        // "struct tag *p;": a variable of struct type. Keyword tokens such as
        // "struct" have no text, so the type reads "tag *".
        bool several = false;
        for (const SourceBrowserToken &token : std::as_const(pending_))
            several = several || token.code == ',';
        if (several) {
            severalDeclarators(container, true);
            return;
        }
        auto variable = std::make_unique<SourceBrowserVariable>(KindVariable);
        variable->group = scanner_->group();
        analyseDeclarator(variable.get());
        const QString prefix = pendingText(0, pending_.size());
        pending_.clear();
        variable->type = prefix.trimmed();
        variable->namePosition = int(prefix.size());
        attachComment(variable.get(), variable->declarationLine);
        if (!variable->name.isEmpty())
            container->addObject(variable.release());
        return;
    }

    auto structure = std::make_unique<SourceBrowserContainer>(KindStruct);
    stamp(structure.get(), startLine_);
    structure->parent = container;
    structure->scope = container->qualifiedName();
    for (auto it = pending_.crbegin(); it != pending_.crend(); ++it) {
        if (it->code == TokenIdentifier) {
            structure->name = it->text;
            break;
        }
    }
    pending_.clear();
    readStructBody(structure.get());
    structure->declarationEndLine = zeroBasedTokenLine();

    advance();
    if (token_ == TokenIdentifier) {
        // "typedef struct tag { ... } Name;" is known as Name.
        structure->name = tokenText();
    }
    attachComment(structure.get(), structure->declarationLine);
    if (structure->name.isEmpty())
        return;
    // Members were filed while the struct was known by its tag, if at all.
    structure->scope = container->qualifiedName();
    structure->updateScopes();
    container->addObject(structure.release());
}

// struct-body: (struct-or-union ... ";" | statement | enum ... ";" | token)* "}"
// Any other token is an error and passed over.
void SourceBrowserCParser::readStructBody(SourceBrowserContainer *structure) {
    const int savedAccess = access_;
    access_ = AccessPublic;
    if (tooDeep()) {
        if (token_ == '{')
            skipGroup();
        access_ = savedAccess;
        return;
    }
    ++nesting_;
    // After a member struct or enum come its declarators and a semicolon; a
    // closing brace instead is this body's own end.
    bool closed = false;
    const auto skipDeclarators = [this, &closed] {
        while (token_ != ';' && token_ != '}' && token_ != TokenEnd)
            advance();
        closed = token_ == '}';
    };
    advance();
    while (token_ != '}' && token_ != TokenEnd) {
        startLine_ = zeroBasedTokenLine();
        switch (token_) {
        case TokenStruct:
        case TokenUnion:
            readStruct(structure);
            skipDeclarators();
            break;
        case TokenIdentifier:
        case TokenConst:
        case TokenVolatile:
            declarationStatement(structure, false);
            staticSeen_ = false;
            break;
        case TokenEnum:
            readEnum();
            skipDeclarators();
            break;
        default:
            errorMessage(fileName_, startLine_ + 1, QStringLiteral("Bad struct declaration"));
            break;
        }
        if (!closed)
            advance();
    }
    --nesting_;
    access_ = savedAccess;
}

// enum: "enum" ["class" | "struct"] [NAME] [":" ...] ["{" ([NAME] ... [","])* "}"]
// The enumerators' values are passed over; the tag is not the enum's name.
std::unique_ptr<SourceBrowserEnum> SourceBrowserCParser::readEnum() {
    auto enumeration = std::make_unique<SourceBrowserEnum>();
    stamp(enumeration.get(), zeroBasedTokenLine());
    enumeration->definitionLine = enumeration->declarationLine;
    attachComment(enumeration.get(), enumeration->declarationLine);

    advance();
    if (token_ == TokenClass || token_ == TokenStruct)
        advance(); // scoped enum
    if (token_ == TokenIdentifier)
        advance(); // the tag is not the name
    if (token_ == ':') {
        // underlying type
        while (token_ != '{' && token_ != ';' && token_ != TokenEnd)
            advance();
    }
    if (token_ != '{')
        return enumeration;

    advance();
    while (token_ != '}' && token_ != TokenEnd) {
        if (token_ == TokenIdentifier) {
            enumeration->values.append(tokenText());
            advance();
        }
        skipOutsideBrackets({',', '}'});
        if (token_ == ',')
            advance();
    }
    if (token_ == '}')
        advance();
    return enumeration;
}

// namespace: "namespace" [NAME ...] "{" scope "}"
void SourceBrowserCParser::readNamespace(SourceBrowserContainer *container) {
    const int startLine = startLine_;
    auto fresh = std::make_unique<SourceBrowserContainer>(KindNamespace);
    stamp(fresh.get(), startLine);
    attachComment(fresh.get(), startLine);

    advance();
    QString name;
    if (token_ == '{') {
        name = QLatin1Char('(') + QFileInfo(fileName_).fileName() + QLatin1Char(')');
    } else {
        name = SourceBrowserToken::textOf(token_, tokenText());
        advance();
        while (token_ != '{' && token_ != TokenEnd) {
            errorMessage(fileName_, startLine + 1, QStringLiteral("Bad namespace identifier"));
            advance();
        }
    }
    if (token_ != '{')
        return;

    fresh->name = name;
    SourceBrowserContainer *space = container->findNamespace(name);
    if (!space) {
        space = fresh.release();
        container->addObject(space);
    }
    if (tooDeep()) {
        skipGroup();
    } else {
        ++nesting_;
        fileScope(space, true);
        --nesting_;
    }
    if (token_ == '}')
        space->declarationEndLine = zeroBasedTokenLine();
}
