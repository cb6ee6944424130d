#include "docgen/headerparse.h"

#include "docgen/textlines.h"
#include "sourcebrowser/cparser.h"

namespace {

// The C/C++ parser reading its lines from a header file, keeping its messages.
class HeaderParser : public SourceBrowserCParser {
public:
    HeaderParser(TextLines &lines, ParsedHeader &result)
        : SourceBrowserCParser(result.root.get()), lines_(lines), result_(result) {}

    bool getLine(QString &line) override { return lines_.next(line); }

    void errorMessage(const QString &fileName, int line, const QString &message) override {
        result_.parserMessages.append({fileName, line, message});
    }

private:
    TextLines &lines_;
    ParsedHeader &result_;
};

} // namespace

ParsedHeader parseHeader(const QString &path) {
    ParsedHeader result;
    result.path = path;
    result.root = std::make_unique<SourceBrowserRoot>();
    TextLines lines(path);
    result.opened = lines.isOpen();
    HeaderParser parser(lines, result);
    parser.parseFile(path, QStringList());
    result.overview = parser.overviewText();
    result.overviewOrigins = parser.overviewOrigins();
    result.unattachedComments = parser.unattachedDocumentationComments();
    return result;
}
