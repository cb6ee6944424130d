#include "docgen/headerparse.h"

#include "docgen/headerpipeline.h"
#include "docgen/textlines.h"
#include "sourcebrowser/cparser.h"
#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowsermethod.h"
#include "sourcebrowser/sourcebrowservariable.h"

namespace {

// The C/C++ parser reading its lines from a header file, keeping its messages.
class DocGenSourceBrowserCParser : public SourceBrowserCParser {
public:
    DocGenSourceBrowserCParser(TextLines &lines, ParsedHeader &result)
        : SourceBrowserCParser(result.root.get()), lines_(lines), result_(result) {}

    bool getLine(QString &line) override { return lines_.next(line); }

    void errorMessage(const QString &fileName, int line, const QString &message) override {
        result_.parserMessages.append({fileName, line, message});
    }

private:
    TextLines &lines_;
    ParsedHeader &result_;
};

// Prepares the comment of every declaration that gets a page ("!" comments).
template <typename Entity>
void prepareComments(const QList<Entity *> &entities, ParsedHeader &result) {
    for (const Entity *entity : entities)
        if (entity->comment.startsWith(u'!'))
            result.preparedComments.insert(entity, prepareComment(entity->comment, entity->name));
}

} // namespace

ParsedHeader parseHeader(const QString &path) {
    ParsedHeader result;
    result.path = path;
    result.root = std::make_unique<SourceBrowserRoot>();
    TextLines lines(path);
    result.opened = lines.isOpen();
    DocGenSourceBrowserCParser parser(lines, result);
    parser.parseFile(path);
    result.overview = parser.overviewText();
    result.overviewOrigins = parser.overviewOrigins();
    result.unattachedComments = parser.unattachedDocumentationComments();
    const SourceBrowserRoot &root = *result.root;
    prepareComments(root.allMacros(), result);
    prepareComments(root.allStructs(), result);
    prepareComments(root.allVariables(), result);
    prepareComments(root.allTypes(), result);
    prepareComments(root.allMethods(), result);
    return result;
}
