#include "sourcebrowser/cparser.h"

#include <QFileInfo>

namespace {

// Deeper class, struct or namespace bodies are skipped rather than read, which
// bounds the recursion of the reader (and of the model) whatever the input.
const int MaxNesting = 128;

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

SourceBrowserCParser::SourceBrowserCParser(SourceBrowserRoot *root) : m_root(root) {}

SourceBrowserCParser::~SourceBrowserCParser() = default;

void SourceBrowserCParser::errorMessage(const QString &, int, const QString &) {}

void SourceBrowserCParser::parseFile(const QString &fileName) {
    m_fileName = fileName;

    m_access = AccessNone;
    m_token = -1;
    m_tokenText.clear();
    m_staticSeen = false;
    m_startLine = -1;
    m_pending.clear();
    m_nesting = 0;

    m_scanner = std::make_unique<SourceBrowserCScanner>(this, m_root);
    fileScope(m_root, false);
    m_overviewText = m_scanner->overviewText();
    m_overviewOrigins = m_scanner->overviewOrigins();
    m_unattachedComments = m_scanner->unattachedDocumentationComments();
    m_scanner.reset();
    m_pending.clear();
}

// ---------------------------------------------------------------------------
// Token level

void SourceBrowserCParser::advance() {
    const auto fetch = [this] {
        m_token = m_scanner->nextToken();
        m_tokenText = m_scanner->tokenText();
    };
    fetch();
    // Compiler-specific attributes carry nothing the documentation needs.
    while (m_token == TokenIdentifier) {
        if (m_tokenText == QLatin1String("__attribute__") ||
            m_tokenText == QLatin1String("__interrupt") ||
            m_tokenText == QLatin1String("__ctl_interrupt") ||
            m_tokenText == QLatin1String("asm") || m_tokenText == QLatin1String("__asm")) {
            fetch();
            if (m_token == '(' || m_token == '[' || m_token == '{') {
                skipGroup();
                fetch();
            }
        } else if (m_tokenText == QLatin1String("__monitor") ||
                   m_tokenText == QLatin1String("__toplevel") ||
                   m_tokenText == QLatin1String("__packed")) {
            fetch();
        } else {
            break;
        }
    }
}

bool SourceBrowserCParser::isIdentifier(const char *word) const {
    return m_token == TokenIdentifier && m_tokenText == QLatin1String(word);
}

int SourceBrowserCParser::zeroBasedTokenLine() const {
    return m_scanner->tokenLine() - 1;
}

void SourceBrowserCParser::push() {
    m_pending.append(SourceBrowserToken{m_token, m_tokenText});
}

void SourceBrowserCParser::skipTo(int code) {
    while (m_token != code && m_token != TokenEnd)
        advance();
}

void SourceBrowserCParser::skipGroup() {
    // A counter, not recursion: hostile input may nest without limit.
    const int opener = m_token;
    const int closer = closerOf(opener);
    m_scanner->setRawMode(true);
    int depth = 1;
    int token = opener;
    while (depth > 0) {
        token = m_scanner->nextToken();
        if (token == opener)
            ++depth;
        else if (token == closer)
            --depth;
        else if (token == TokenEnd)
            break;
    }
    m_scanner->setRawMode(false);
    m_token = token;
    m_tokenText.clear();
}

QString SourceBrowserCParser::readTemplateText() {
    QString text;
    int depth = 0;
    for (;;) {
        text += SourceBrowserToken::textOf(m_token, m_tokenText);
        if (m_token == '<')
            ++depth;
        else if (m_token == '>')
            --depth;
        else if (m_token == ',')
            text += QLatin1Char(' ');
        if (depth <= 0 || m_token == TokenEnd)
            return text;
        advance();
    }
}

void SourceBrowserCParser::attachComment(SourceBrowserObject *entity, int zeroBasedLine) const {
    const int end = m_scanner->commentEndLine();
    if (end < 0)
        return;
    const int distance = zeroBasedLine - end;
    if (distance == 0 || distance == 1) {
        entity->comment = m_scanner->commentText();
        entity->commentLine = m_scanner->commentStartLine();
        m_scanner->markCommentAttached();
    }
}

void SourceBrowserCParser::stamp(SourceBrowserObject *entity, int zeroBasedLine) {
    entity->group = m_scanner->group();
    entity->declarationLine = zeroBasedLine;
    entity->declarationFile = m_fileName;
    entity->definitionFile = m_fileName;
    entity->access = m_access;
}

QString SourceBrowserCParser::pendingText(qsizetype from, qsizetype to) const {
    QString text;
    for (qsizetype i = from; i < to; ++i) {
        const QString word = SourceBrowserToken::textOf(m_pending.at(i).code, m_pending.at(i).text);
        if (word.isEmpty())
            continue;
        text += word;
        text += QLatin1Char(' ');
    }
    return text;
}

bool SourceBrowserCParser::tooDeep() const {
    return m_nesting >= MaxNesting;
}

// ---------------------------------------------------------------------------
// File scope

void SourceBrowserCParser::fileScope(SourceBrowserContainer *container, bool untilClosingBrace) {
    const auto finished = [&] {
        return m_token == TokenEnd || (untilClosingBrace && m_token == '}');
    };
    advance();
    while (!finished()) {
        while (m_token == TokenUsing) {
            skipTo(';');
            advance();
        }
        if (finished())
            break;
        m_startLine = zeroBasedTokenLine();
        if (isStorageToken(m_token))
            storage(container);
        else
            dispatch(container);
        advance();
        // extern "C" and extern "C" { ... }: the block's contents are read as if
        // at this level; its closing brace is ignored like any stray one.
        if (m_token == TokenString) {
            advance();
            if (m_token == '{')
                advance();
        }
    }
}

void SourceBrowserCParser::storage(SourceBrowserContainer *container) {
    switch (m_token) {
    case TokenStatic:
    case TokenRegister:
        m_staticSeen = true;
        break;
    case TokenEnum:
        readEnum(); // only typedef'd enums are recorded
        break;
    case TokenTemplate:
        // The templated declaration that follows is read as if this were absent.
        advance();
        if (m_token == '<') {
            readTemplateText();
        } else {
            m_scanner->pushBack(m_token, m_tokenText);
            m_token = TokenTemplate;
        }
        break;
    case TokenTypedef:
        advance();
        if (m_token == TokenStruct || m_token == TokenUnion) {
            readStruct(container);
            skipTo(';');
        } else if (m_token == TokenEnum) {
            std::unique_ptr<SourceBrowserEnum> enumeration = readEnum();
            if (m_token == TokenIdentifier) {
                enumeration->name = m_tokenText;
                container->addObject(enumeration.release());
            }
            skipTo(';');
        } else if (m_token == TokenIdentifier || m_token == TokenConst ||
                   m_token == TokenVolatile) {
            m_pending.clear();
            std::unique_ptr<SourceBrowserVariable> type = readDeclaration(KindTypedef);
            if (type && !type->name.isEmpty())
                container->addObject(type.release());
        }
        break;
    default: // extern, throw: the next token starts the declaration
        break;
    }
    m_pending.clear();
}

void SourceBrowserCParser::dispatch(SourceBrowserContainer *container) {
    switch (m_token) {
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
        m_staticSeen = false;
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Declaration statements

void SourceBrowserCParser::declarationStatement(SourceBrowserContainer *container, bool isVirtual) {
    m_pending.clear();
    bool several = false;
    bool operatorMode = false;
    while (m_token != ';' && m_token != '=' && m_token != '(' && m_token != TokenEnd) {
        if (m_token == '<') {
            readTemplateText(); // template arguments are not part of the declaration text
            advance();
            continue;
        }
        if (m_token == TokenOperator) {
            // Everything up to the parameter list names the operator; "operator()"
            // brings its own parentheses.
            operatorMode = true;
            push();
            advance();
            if (m_token == '(') {
                push();
                advance();
            }
            while (m_token != '(' && m_token != ';' && m_token != TokenEnd) {
                push();
                advance();
            }
            break;
        }
        if (m_token == ',')
            several = true;
        push();
        advance();
    }

    if (m_token == '(') {
        advance();
        if (m_token == '*' && !operatorMode) {
            // "type (*name)(parameters)": a pointer to a function, read as a variable.
            m_scanner->pushBack('*', QString());
            m_scanner->pushBack('(', QString());
            advance();
            std::unique_ptr<SourceBrowserVariable> variable = readDeclaration(KindVariable);
            if (variable && !variable->name.isEmpty())
                container->addObject(variable.release());
            return;
        }

        StatementShape shape;
        qsizetype nameStart = m_pending.size() - 1;
        if (operatorMode) {
            while (nameStart > 0 && m_pending.at(nameStart).code != TokenOperator)
                --nameStart;
            for (qsizetype i = nameStart + 1; i < m_pending.size(); ++i)
                shape.name +=
                    SourceBrowserToken::textOf(m_pending.at(i).code, m_pending.at(i).text);
        } else if (nameStart >= 0) {
            shape.name = SourceBrowserToken::textOf(m_pending.at(nameStart).code,
                                                    m_pending.at(nameStart).text);
            if (nameStart > 0 && m_pending.at(nameStart - 1).code == '~') {
                --nameStart;
                shape.name.prepend(QLatin1Char('~'));
            }
        }
        // "A::B::f": the class path is the chain of qualifiers right before the name.
        QStringList path;
        qsizetype i = qMax<qsizetype>(nameStart, 0);
        while (i >= 2 && m_pending.at(i - 1).code == TokenScope &&
               m_pending.at(i - 2).code == TokenIdentifier) {
            path.prepend(m_pending.at(i - 2).text);
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

    if (m_token == TokenEnd)
        return;
    if (several) {
        severalDeclarators(container, false);
        return;
    }
    auto variable = std::make_unique<SourceBrowserVariable>(KindVariable);
    variable->group = m_scanner->group();
    finishVariable(variable.get());
    if (!variable->name.isEmpty())
        container->addObject(variable.release());
}

void SourceBrowserCParser::functionStatement(SourceBrowserContainer *container,
                                             const StatementShape &shape, bool isVirtual) {
    auto method = std::make_unique<SourceBrowserMethod>();
    method->group = m_scanner->group();
    readFunction(method.get(), shape);
    if (method->name.isEmpty())
        return;
    method->isVirtual = isVirtual;

    // A prototype and its definition become one method that knows both places.
    if (SourceBrowserMethod *old = container->findSameMethod(method.get())) {
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

void SourceBrowserCParser::outOfClassDefinition(SourceBrowserContainer *container,
                                                const StatementShape &shape) {
    SourceBrowserMethod method;
    readFunction(&method, shape);
    if (m_token == ';')
        return;

    const QString &path = shape.classPath;
    const QString enclosing = container->qualifiedName();
    const QString nested = enclosing.isEmpty() ? QString() : enclosing + QLatin1Char('.') + path;
    SourceBrowserContainer *cls = m_root->findClassByQualifiedName(path);
    if (!cls && !nested.isEmpty())
        cls = m_root->findClassByQualifiedName(nested);
    if (!cls && !path.contains(QLatin1Char('.')))
        cls = m_root->findClass(path);
    if (!cls)
        cls = m_root->findStructByQualifiedName(path);
    if (!cls && !nested.isEmpty())
        cls = m_root->findStructByQualifiedName(nested);

    if (!cls) {
        errorMessage(m_fileName, m_startLine + 1,
                     QLatin1String("Class ") + path + QLatin1String(" not found"));
        return;
    }
    SourceBrowserMethod *declared = cls->findSameMethod(&method);
    if (!declared) {
        errorMessage(m_fileName, m_startLine + 1,
                     QLatin1String("Method ") + method.name +
                         QLatin1String(" not found in class ") + path);
        return;
    }
    declared->definitionFile = m_fileName;
    declared->definitionLine = m_startLine;
    declared->definitionEndLine = zeroBasedTokenLine();
    cls->definitionFile = m_fileName;
}

void SourceBrowserCParser::readFunction(SourceBrowserMethod *method, const StatementShape &shape) {
    method->name = shape.name;
    method->type = pendingText(0, shape.typeEnd).trimmed();

    // The current token is the one after "(".
    if (m_token != ')' && m_token != ';') {
        for (;;) {
            m_pending.clear();
            std::unique_ptr<SourceBrowserVariable> parameter = readDeclaration(KindVariable);
            if (parameter && parameter->type != QLatin1String("void"))
                method->arguments.append(SourceBrowserArgument{parameter->name, parameter->type,
                                                               parameter->namePosition});
            if (m_token != ',')
                break;
            advance();
        }
    }
    m_pending.clear();

    method->access = m_access;
    method->isStatic = m_staticSeen;

    if (m_token == ')')
        advance();
    for (;;) {
        if (m_token == TokenConst) {
            method->isConst = true;
            advance();
        } else if (isIdentifier("override") || isIdentifier("final")) {
            advance();
        } else if (isIdentifier("noexcept")) {
            advance();
            if (m_token == '(') {
                skipGroup();
                advance();
            }
        } else {
            break;
        }
    }
    if (m_token == ':') {
        // Constructor initialisers: each member name is followed by a bracketed
        // initialiser; the body is the brace that follows none.
        advance();
        for (;;) {
            while (m_token != '(' && m_token != '{' && m_token != ';' && m_token != TokenEnd)
                advance();
            if (m_token != '(' && m_token != '{')
                break;
            skipGroup();
            advance();
            if (m_token != ',')
                break;
            advance();
        }
    }
    if (m_token == TokenThrow) {
        skipTo(')');
        if (m_token == ')')
            advance();
    }

    if (m_token == '{') {
        skipGroup();
        method->definitionFile = m_fileName;
        method->definitionLine = m_startLine;
        method->definitionEndLine = zeroBasedTokenLine();
        attachComment(method, method->definitionLine);
    } else {
        method->declarationFile = m_fileName;
        method->declarationLine = m_startLine;
        method->declarationEndLine = zeroBasedTokenLine();
        attachComment(method, method->declarationLine);
    }
}

std::unique_ptr<SourceBrowserVariable> SourceBrowserCParser::readDeclaration(int kind) {
    while (m_token != ';' && m_token != ',' && m_token != ')' && m_token != TokenEnd) {
        if (m_token == '=') {
            // Initialisers and default arguments are not kept; brackets inside them
            // do not end the declaration.
            int depth = 0;
            advance();
            while (m_token != TokenEnd &&
                   !(depth <= 0 && (m_token == ';' || m_token == ',' || m_token == ')'))) {
                if (m_token == '(' || m_token == '[' || m_token == '{')
                    ++depth;
                else if (m_token == ')' || m_token == ']' || m_token == '}')
                    --depth;
                advance();
            }
            break;
        }
        if (m_token == '(') {
            advance();
            if (m_token != '*') {
                m_pending.append(SourceBrowserToken{'(', QString()});
                continue;
            }
            // "(*name)" and then the parameter list of the pointed-to function.
            m_pending.append(SourceBrowserToken{'(', QString()});
            push();
            advance();
            while (m_token != ')' && m_token != ';' && m_token != TokenEnd) {
                push();
                advance();
            }
            if (m_token == ')') {
                push();
                advance();
            }
            if (m_token == '(') {
                int depth = 0;
                while (m_token != TokenEnd) {
                    if (m_token == '(')
                        ++depth;
                    else if (m_token == ')')
                        --depth;
                    push();
                    advance();
                    if (depth == 0)
                        break;
                }
            }
            continue;
        }
        if (m_token == '<') {
            // "QList<int> list": the arguments stay with the template's name, so
            // that the word after them is still seen as the declared name.
            const QString arguments = readTemplateText();
            if (!m_pending.isEmpty() && m_pending.last().code == TokenIdentifier)
                m_pending.last().text += arguments;
            else
                m_pending.append(SourceBrowserToken{TokenIdentifier, arguments});
            advance();
            continue;
        }
        push();
        advance();
    }
    if (m_pending.isEmpty())
        return nullptr;

    auto variable = std::make_unique<SourceBrowserVariable>(kind);
    variable->group = m_scanner->group();
    finishVariable(variable.get());
    variable->declarationEndLine = zeroBasedTokenLine();
    return variable;
}

void SourceBrowserCParser::finishVariable(SourceBrowserVariable *variable) {
    analyseDeclarator(variable);
    const QString prefix = pendingText(0, m_pending.size());
    variable->type = (prefix + variable->type).trimmed();
    variable->namePosition = int(prefix.size());
    m_pending.clear();

    if (m_token == '=')
        skipTo(';');
    if (m_token == TokenEnd)
        variable->name.clear();
    else
        variable->declarationEndLine = zeroBasedTokenLine();
    attachComment(variable, variable->declarationLine);
}

void SourceBrowserCParser::analyseDeclarator(SourceBrowserVariable *variable) {
    const auto lastCode = [this] { return m_pending.isEmpty() ? -1 : m_pending.last().code; };
    // Suffix pieces from right to left; joined in reverse at the end so that no
    // string is rebuilt once per token.
    QStringList pieces;

    while (lastCode() == TokenConst || lastCode() == TokenVolatile)
        m_pending.removeLast();

    if (lastCode() == ')') {
        // The parameter list of a function type, "(*name)(int a)".
        int depth = 0;
        int following = -1; // the code of the token after the one taken, in source order
        bool inBrackets = false;
        while (!m_pending.isEmpty()) {
            const SourceBrowserToken token = m_pending.takeLast();
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
                if (!text.isEmpty())
                    pieces.append(text + QLatin1Char(' '));
            }
            following = token.code;
            if (depth == 0)
                break;
        }
        if (lastCode() == ')') {
            m_pending.removeLast();
            pieces.append(QStringLiteral(")"));
        }
    }

    while (lastCode() == ']') {
        // Array dimensions are not kept.
        int depth = 0;
        while (!m_pending.isEmpty()) {
            const int code = m_pending.takeLast().code;
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
        while (!m_pending.isEmpty() && lastCode() != TokenIdentifier)
            m_pending.removeLast();
    }

    if (lastCode() == TokenIdentifier && m_pending.size() >= 2) {
        switch (m_pending.at(m_pending.size() - 2).code) {
        case TokenIdentifier:
        case '}':
        case '*':
        case ',':
        case TokenConst:
        case TokenVolatile:
        case '&':
            variable->name = m_pending.takeLast().text;
            break;
        default: // "void", "int", "A::b", "T<x>": no name of its own
            break;
        }
    }

    QString suffix;
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it)
        suffix += *it;
    variable->type += suffix;
    variable->declarationFile = m_fileName;
    variable->declarationLine = zeroBasedTokenLine();
    variable->access = m_access;
}

void SourceBrowserCParser::severalDeclarators(SourceBrowserContainer *container, bool structTyped) {
    // "int a, *b, c[4]": the type words before the first declarator are shared;
    // each declarator adds its own pointer stars and suffix.
    QList<QList<SourceBrowserToken>> segments(1);
    for (const SourceBrowserToken &token : std::as_const(m_pending)) {
        if (token.code == ',')
            segments.append(QList<SourceBrowserToken>());
        // Later segments keep their comma: it marks the lone name as a declarator.
        segments.last().append(token);
    }

    QString shared;
    std::vector<std::unique_ptr<SourceBrowserVariable>> variables;
    for (qsizetype s = 0; s < segments.size(); ++s) {
        auto variable = std::make_unique<SourceBrowserVariable>(KindVariable);
        variable->group = m_scanner->group();
        m_pending = segments.at(s);
        analyseDeclarator(variable.get());
        qsizetype own = 0;
        if (s == 0) {
            // The first declarator's stars (and const after them) are its own.
            own = m_pending.size();
            for (qsizetype i = m_pending.size() - 1; i >= 0; --i) {
                const int code = m_pending.at(i).code;
                if (code == '*' || code == '&')
                    own = i;
                else if (code != TokenConst && code != TokenVolatile)
                    break;
            }
            shared = pendingText(0, own);
        } else if (!m_pending.isEmpty() && m_pending.first().code == ',') {
            own = 1;
        }
        const QString head = shared + pendingText(own, m_pending.size());
        variable->type = structTyped ? head.trimmed() : (head + variable->type).trimmed();
        variable->namePosition = int(head.size());
        attachComment(variable.get(), variable->declarationLine);
        variables.push_back(std::move(variable));
    }
    m_pending.clear();

    if (m_token == '=')
        skipTo(';');
    if (m_token == TokenEnd)
        return;
    for (auto &variable : variables) {
        variable->declarationEndLine = zeroBasedTokenLine();
        if (!variable->name.isEmpty())
            container->addObject(variable.release());
    }
}

// ---------------------------------------------------------------------------
// Classes, structs, enums, namespaces

void SourceBrowserCParser::readClass(SourceBrowserContainer *container) {
    const int kind = m_token == TokenClass ? KindClass : KindStruct;
    advance();
    auto fresh = std::make_unique<SourceBrowserContainer>(kind);
    stamp(fresh.get(), zeroBasedTokenLine());

    QString name;
    while (m_token == TokenIdentifier || m_token == TokenScope) {
        if (m_token == TokenIdentifier &&
            !(m_tokenText == QLatin1String("final") && !name.isEmpty()))
            name = m_tokenText;
        advance();
    }
    // A forward declaration, or "struct tag" used as a type.
    if (m_token != '{' && m_token != ':')
        return;
    if (name.isEmpty())
        name = QStringLiteral("(Anonymous)");
    fresh->name = name;

    const QString scope = container->qualifiedName();
    const QString qualified = scope.isEmpty() ? name : scope + QLatin1Char('.') + name;
    SourceBrowserContainer *cls = m_root->findClassByQualifiedName(qualified);
    if (cls) {
        // Declared again (in another branch of a conditional): continue filling the
        // class already known.
        cls->declarationLine = fresh->declarationLine;
        cls->declarationFile = m_fileName;
        cls->scope = scope;
    } else {
        cls = fresh.release();
        m_root->addObject(cls);
        if (container != m_root)
            container->addObject(cls);
    }

    if (m_token == ':')
        readBaseList(cls);
    readClassBody(cls);
}

void SourceBrowserCParser::readBaseList(SourceBrowserContainer *cls) {
    do {
        advance();
        SourceBrowserBaseClass base;
        for (;;) {
            if (m_token == TokenPublic || m_token == TokenProtected || m_token == TokenPrivate)
                base.access = m_token;
            else if (m_token != TokenVirtual)
                break;
            advance();
        }
        while (m_token != ',' && m_token != '{' && m_token != TokenEnd) {
            if (m_token == '<')
                base.name += readTemplateText();
            else
                base.name += SourceBrowserToken::textOf(m_token, m_tokenText);
            advance();
        }
        cls->baseClasses.append(base);
    } while (m_token == ',');
}

void SourceBrowserCParser::readClassBody(SourceBrowserContainer *cls) {
    attachComment(cls, cls->declarationLine);
    // Class and struct bodies alike start private.
    const int savedAccess = m_access;
    m_access = AccessPrivate;
    if (tooDeep()) {
        if (m_token == '{')
            skipGroup();
        cls->declarationEndLine = zeroBasedTokenLine();
        m_access = savedAccess;
        return;
    }
    ++m_nesting;
    bool closed = false;
    for (;;) {
        advance();
        m_startLine = zeroBasedTokenLine();
        if (m_token == TokenEnd)
            break;
        if (m_token == '}') {
            cls->declarationEndLine = m_startLine;
            break;
        }
        if (isIdentifier("Q_PROPERTY") || isIdentifier("Q_ENUM") || isIdentifier("Q_OVERRIDE")) {
            advance();
            if (m_token == '(')
                skipGroup();
            else
                skipTo(')');
            continue;
        }
        if (isStorageToken(m_token)) {
            storage(cls);
            continue;
        }
        switch (m_token) {
        case TokenPublic:
            m_access = AccessPublic;
            break;
        case TokenProtected:
            m_access = AccessProtected;
            break;
        case TokenPrivate:
            m_access = AccessPrivate;
            break;
        case TokenIdentifier:
        case TokenConst:
        case TokenOperator:
        case '~':
            declarationStatement(cls, false);
            m_staticSeen = false;
            break;
        case TokenVirtual:
            advance();
            declarationStatement(cls, true);
            m_staticSeen = false;
            break;
        case TokenClass:
        case TokenStruct:
            readClass(cls);
            break;
        case TokenUnion:
            // Read like a member union of a struct, so that its braces do not end
            // the class.
            readStruct(cls);
            while (m_token != ';' && m_token != '}' && m_token != TokenEnd)
                advance();
            if (m_token == '}') {
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
    --m_nesting;
    m_access = savedAccess;
}

void SourceBrowserCParser::readStruct(SourceBrowserContainer *container) {
    m_pending.clear();
    while (m_token != '{' && m_token != ';' && m_token != TokenEnd) {
        push();
        advance();
    }

    if (m_token != '{') {
        // "struct tag *p;": a variable of struct type. Keyword tokens such as
        // "struct" have no text, so the type reads "tag *".
        bool several = false;
        for (const SourceBrowserToken &token : std::as_const(m_pending))
            several = several || token.code == ',';
        if (several) {
            severalDeclarators(container, true);
            return;
        }
        auto variable = std::make_unique<SourceBrowserVariable>(KindVariable);
        variable->group = m_scanner->group();
        analyseDeclarator(variable.get());
        const QString prefix = pendingText(0, m_pending.size());
        m_pending.clear();
        variable->type = prefix.trimmed();
        variable->namePosition = int(prefix.size());
        attachComment(variable.get(), variable->declarationLine);
        if (!variable->name.isEmpty())
            container->addObject(variable.release());
        return;
    }

    auto structure = std::make_unique<SourceBrowserContainer>(KindStruct);
    stamp(structure.get(), m_startLine);
    structure->parent = container;
    structure->scope = container->qualifiedName();
    for (auto it = m_pending.crbegin(); it != m_pending.crend(); ++it) {
        if (it->code == TokenIdentifier) {
            structure->name = it->text;
            break;
        }
    }
    m_pending.clear();
    readStructBody(structure.get());
    structure->declarationEndLine = zeroBasedTokenLine();

    advance();
    if (m_token == TokenIdentifier) {
        // "typedef struct tag { ... } Name;" is known as Name.
        structure->name = m_tokenText;
    }
    attachComment(structure.get(), structure->declarationLine);
    if (structure->name.isEmpty())
        return;
    // Members were filed while the struct was known by its tag, if at all.
    structure->scope = container->qualifiedName();
    structure->updateScopes();
    container->addObject(structure.release());
}

void SourceBrowserCParser::readStructBody(SourceBrowserContainer *structure) {
    const int savedAccess = m_access;
    m_access = AccessPublic;
    if (tooDeep()) {
        if (m_token == '{')
            skipGroup();
        m_access = savedAccess;
        return;
    }
    ++m_nesting;
    // After a member struct or enum come its declarators and a semicolon; a
    // closing brace instead is this body's own end.
    bool closed = false;
    const auto skipDeclarators = [this, &closed] {
        while (m_token != ';' && m_token != '}' && m_token != TokenEnd)
            advance();
        closed = m_token == '}';
    };
    advance();
    while (m_token != '}' && m_token != TokenEnd) {
        m_startLine = zeroBasedTokenLine();
        switch (m_token) {
        case TokenStruct:
        case TokenUnion:
            readStruct(structure);
            skipDeclarators();
            break;
        case TokenIdentifier:
        case TokenConst:
        case TokenVolatile:
            declarationStatement(structure, false);
            m_staticSeen = false;
            break;
        case TokenEnum:
            readEnum();
            skipDeclarators();
            break;
        default:
            errorMessage(m_fileName, m_startLine + 1, QStringLiteral("Bad struct declaration"));
            break;
        }
        if (!closed)
            advance();
    }
    --m_nesting;
    m_access = savedAccess;
}

std::unique_ptr<SourceBrowserEnum> SourceBrowserCParser::readEnum() {
    auto enumeration = std::make_unique<SourceBrowserEnum>();
    stamp(enumeration.get(), zeroBasedTokenLine());
    enumeration->definitionLine = enumeration->declarationLine;
    attachComment(enumeration.get(), enumeration->declarationLine);

    advance();
    if (m_token == TokenClass || m_token == TokenStruct)
        advance(); // scoped enum
    if (m_token == TokenIdentifier)
        advance(); // the tag is not the name
    if (m_token == ':') {
        // underlying type
        while (m_token != '{' && m_token != ';' && m_token != TokenEnd)
            advance();
    }
    if (m_token != '{')
        return enumeration;

    advance();
    while (m_token != '}' && m_token != TokenEnd) {
        if (m_token == TokenIdentifier) {
            enumeration->values.append(m_tokenText);
            advance();
        }
        int depth = 0;
        while (m_token != TokenEnd && !(depth <= 0 && (m_token == ',' || m_token == '}'))) {
            if (m_token == '(' || m_token == '[' || m_token == '{')
                ++depth;
            else if (m_token == ')' || m_token == ']' || m_token == '}')
                --depth;
            advance();
        }
        if (m_token == ',')
            advance();
    }
    if (m_token == '}')
        advance();
    return enumeration;
}

void SourceBrowserCParser::readNamespace(SourceBrowserContainer *container) {
    const int startLine = m_startLine;
    auto fresh = std::make_unique<SourceBrowserContainer>(KindNamespace);
    stamp(fresh.get(), startLine);
    attachComment(fresh.get(), startLine);

    advance();
    QString name;
    if (m_token == '{') {
        name = QLatin1Char('(') + QFileInfo(m_fileName).fileName() + QLatin1Char(')');
    } else {
        name = SourceBrowserToken::textOf(m_token, m_tokenText);
        advance();
        while (m_token != '{' && m_token != TokenEnd) {
            errorMessage(m_fileName, startLine + 1, QStringLiteral("Bad namespace identifier"));
            advance();
        }
    }
    if (m_token != '{')
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
        ++m_nesting;
        fileScope(space, true);
        --m_nesting;
    }
    if (m_token == '}')
        space->declarationEndLine = zeroBasedTokenLine();
}
