#include "docgen/textlines.h"

#include "tests/support/printers.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList linesOf(TextLines &lines) {
    QStringList result;
    QStringView line;
    while (lines.next(line))
        result.append(line.toString());
    return result;
}

} // namespace

// Lines end at "\n" or "\r\n"; a last line without an end is still a line; a NUL
// character stays in its line, and the reader notices it.
TEST(TextLines, SplitsAFileIntoLines) {
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"one\ntwo\r\nthree", {"one", "two", "three"}},
        {"\n\n\r\n\nend\n", {"", "", "", "", "end"}},
        {"x", {"x"}},
        {"", {}},
        {QByteArray("nul \0 inside\nafter\0\n", 20),
         {QString::fromUtf8("nul \0 inside", 12), QString::fromUtf8("after\0", 6)}},
        {"caf\xc3\xa9\n\xf0\x9f\x98\x80\n",
         {QString::fromUtf8("caf\xc3\xa9"), QString::fromUtf8("\xf0\x9f\x98\x80")}},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.dg"));
    for (const Case &c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        TextLines lines(path);
        EXPECT_TRUE(lines.isOpen());
        EXPECT_EQ(lines.readError(), 0);
        EXPECT_EQ(linesOf(lines), c.lines) << c.bytes.toStdString();
        EXPECT_EQ(lines.sawNul(), c.bytes.contains('\0')) << c.bytes.toStdString();
    }
    // A file that is not there has no lines.
    TextLines missing(dir.filePath(QStringLiteral("missing.dg")));
    EXPECT_FALSE(missing.isOpen());
    QStringView line;
    EXPECT_FALSE(missing.next(line));
}
