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

// A file decoded ahead, cut into runs of every size, reads as the same lines and the
// same text as when it is decoded whole: runs end at line ends, and never before a
// byte order mark, which a decoder would drop at the start of a run.
TEST(TextLines, DecodingAheadGivesWhatDecodingWholeGives) {
    const QByteArray files[] = {
        "one\ntwo\r\nthree",
        "\xef\xbb\xbf"
        "bom first\n\xef\xbb\xbf"
        "bom after a line end\n\xef\xbb\xbf\n",
        "cut \xc3\n\xa9 sequences\n\xf0\x9f\x98\x80 four bytes\n\xff\xfe\n",
        "\n\n\r\n\nend\n",
        "x",
        QByteArray("nul \0 inside\nafter\0\n", 20),
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.dg"));
    for (const QByteArray &bytes : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        TextLines whole(path);
        const QStringList expected = linesOf(whole);
        // The reader of all the lines learns whether one held a NUL character.
        EXPECT_EQ(whole.sawNul(), bytes.contains('\0')) << bytes.toStdString();
        const QString text = whole.takeText();
        for (qsizetype run = 1; run <= bytes.size(); ++run) {
            TextLines ahead(path, 1, run);
            EXPECT_EQ(linesOf(ahead), expected) << bytes.toStdString() << " run " << run;
            EXPECT_EQ(ahead.sawNul(), bytes.contains('\0')) << bytes.toStdString();
            EXPECT_EQ(ahead.takeText(), text) << bytes.toStdString() << " run " << run;
        }
        // Moved while its thread decodes, and left unread: nothing is lost or kept.
        TextLines moved(path, 1, 1);
        TextLines target = std::move(moved);
        EXPECT_EQ(target.size(), text.size());
        TextLines unread(path, 1, 1);
    }
}
