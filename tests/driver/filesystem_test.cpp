#include "driver/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/printers.h"

#include <gtest/gtest.h>

TEST(CleanPath, DropsDotsAndEmptySegments) {
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"a.dg", "a.dg"},
        {"./x/../a.dg", "a.dg"},
        {"x//y/./z.h", "x/y/z.h"},
        {"/abs//dir/", "/abs/dir"},
        {"../a.dg", "../a.dg"},
        {"../../a/b/../c.dg", "../../a/c.dg"},
        {"a/b/../../../c.dg", "../c.dg"},
        {"/", "/"},
        {"/..", "/.."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cleanPath(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(MakePath, CreatesEveryMissingParent) {
    QTemporaryDir dir;
    const QString deep = dir.filePath("a/b/c");
    EXPECT_TRUE(makePath(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_TRUE(makePath(deep)); // already there
    EXPECT_TRUE(makePath(QStringLiteral("/")));
}

TEST(WriteTextFile, ReportsOpenAndWriteFailures) {
    QTemporaryDir dir;
    const QString good = dir.filePath("page.htm");
    EXPECT_EQ(writeTextFile(good, QStringLiteral("text \u00e9")), QByteArray());
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("text \xc3\xa9"));

    const QString missingDir = dir.filePath("nowhere/page.htm");
    EXPECT_EQ(writeTextFile(missingDir, QStringLiteral("x")), "cannot open " + missingDir.toUtf8());

    // A device that accepts the open but not the data: the page must not pass as written.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        EXPECT_EQ(writeTextFile(QStringLiteral("/dev/full"), QString(100000, QChar(u'x'))),
                  QByteArray("cannot write /dev/full"));
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral("/dev/full")));
    }
}
