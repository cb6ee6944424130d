// Feeds arbitrary bytes to the C/C++ scanner and declaration parser as a header, then
// asks every filed entity for its synopses, which walk what the parser built.

#include "sourcebrowser/cparser.h"
#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowsermethod.h"
#include "sourcebrowser/sourcebrowserroot.h"
#include "sourcebrowser/sourcebrowservariable.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

class MemoryParser : public SourceBrowserCParser {
public:
    MemoryParser(const QString &text, SourceBrowserRoot *root)
        : SourceBrowserCParser(root), text_(text) {}

    bool getLine(QStringView &line) override {
        if (position_ >= text_.size())
            return false;
        qsizetype end = text_.indexOf(u'\n', position_);
        if (end < 0)
            end = text_.size();
        line = QStringView(text_).mid(position_, end - position_);
        position_ = end + 1;
        return true;
    }

private:
    const QString &text_;
    qsizetype position_ = 0;
};

template <typename List>
void touchSynopses(const List &entities) {
    for (const auto *entity : entities) {
        (void)entity->synopsis(0);
        (void)entity->synopsis(~0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    SourceBrowserRoot root;
    {
        MemoryParser parser(text, &root);
        parser.parseFile(QStringLiteral("fuzz.h"));
        (void)parser.overviewText();
    }
    touchSynopses(root.allMacros());
    touchSynopses(root.allTypes());
    touchSynopses(root.allMethods());
    touchSynopses(root.allVariables());
    touchSynopses(root.allStructs());
    touchSynopses(root.allClasses());
    touchSynopses(root.allNamespaces());
    return 0;
}
