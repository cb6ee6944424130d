#include "docgen/argumentreaders.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

struct ReaderCase {
    const char *text;
    const char *result;
    const char *rest; // what the cursor stands on afterwards
};

void check(QString (*reader)(MarkupCursor &, MarkupCursor), const ReaderCase &c) {
    const QString text = QString::fromUtf8(c.text);
    MarkupCursor cursor = text.constData();
    EXPECT_EQ(reader(cursor, text.constData() + text.size()), QString::fromUtf8(c.result))
        << c.text;
    EXPECT_EQ(QString(cursor), QString::fromUtf8(c.rest)) << c.text;
}

} // namespace

TEST(ReadBracedOrWord, ReadsBracesWordsAndRuns) {
    const ReaderCase cases[] = {
        {"{two words} tail", "two words", " tail"},
        {"{a{b}c}", "a{b", "c}"}, // braces do not nest
        {"{open\nnext", "open", "next"},
        {"{open", "open", ""},
        {"{}x", "", "x"},
        {"  word_1.rest", "word_1", ".rest"},
        {" {braced}", "{braced}", ""}, // a brace after spaces is ordinary
        {" .x y", ".x", " y"},
        {".x\\b", ".x", "\\b"},
        {" \\b", "", "\\b"},
        {"\tword", "", "\tword"}, // only spaces are skipped
        {"caf\u00e9", "caf", "\u00e9"},
        {"", "", ""},
    };
    for (const ReaderCase &c : cases)
        check(readBracedOrWord, c);
}

TEST(ReadBracedOrLine, ReadsBracesOrTheRestOfTheLine) {
    const ReaderCase cases[] = {
        {"{x} y", "x", " y"},
        {"   the line\nnext", "the line", "next"},
        {"up to\\b{x}", "up to", "\\b{x}"},
        {"last line", "last line", ""},
        {"\nnext", "", "next"},
    };
    for (const ReaderCase &c : cases)
        check(readBracedOrLine, c);
}
