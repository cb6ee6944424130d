#include "docgen/headerparse.h"

#include "common/findeither.h"

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
    DocGenSourceBrowserCParser(TextLines &lines, ParsedHeader &result, bool keepMessages)
        : SourceBrowserCParser(result.root.get()), lines_(lines), result_(result),
          keepMessages_(keepMessages) {}

    bool getLine(QStringView &line) override { return lines_.next(line); }

    void errorMessage(const QString &fileName, int line, const QString &message) override {
        if (!keepMessages_)
            return;
        QList<ParsedHeader::Message> &messages = result_.parserMessages;
        if (!messages.isEmpty() && messages.last().line == line &&
            messages.last().text == message && messages.last().fileName == fileName)
            return;
        messages.append({fileName, line, message});
    }

private:
    TextLines &lines_;
    ParsedHeader &result_;
    const bool keepMessages_;
};

} // namespace

ParsedHeader parseHeader(const QString &path, bool keepMessages) {
    ParsedHeader result;
    result.path = path;
    result.root = std::make_unique<SourceBrowserRoot>();
    TextLines lines(path);
    result.opened = lines.isOpen();
    DocGenSourceBrowserCParser parser(lines, result, keepMessages);
    parser.parseFile(path);
    result.readError = lines.readError();
    result.overview = parser.overviewText();
    result.overviewOrigins = parser.overviewOrigins();
    result.unattachedComments = parser.unattachedDocumentationComments();
    return result;
}
