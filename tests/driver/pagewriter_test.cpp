#include "driver/pagewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray contentOf(const QString &fileName) {
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The modification time in nanoseconds and the inode: what a page that was left alone
// keeps.
std::pair<long long, ino_t> identity(const QString &fileName) {
    struct stat s {};
    ::stat(QFile::encodeName(fileName).constData(), &s);
    return {s.st_mtim.tv_sec * 1000000000LL + s.st_mtim.tv_nsec, s.st_ino};
}

void backdate(const QString &fileName) {
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
}

} // namespace

TEST(WritePage, LeavesAPageWithTheSameBytesAlone) {
    QTemporaryDir dir;
    const QString page = dir.filePath("page.htm");
    const QByteArray big(200000, 'x'); // more than one block of comparison
    const struct {
        QByteArray old;
        QByteArray next;
        bool kept;
    } cases[] = {
        {big, big, true},
        {big, big.left(big.size() - 1) + 'y', false}, // same size, last byte differs
        {big, big + 'x', false},
        {"", "", true},
        {"old", "", false},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(writePage(page, c.old), QByteArray());
        backdate(page);
        const auto before = identity(page);
        EXPECT_EQ(writePage(page, c.next), QByteArray());
        EXPECT_EQ(identity(page) == before, c.kept) << c.next.size();
        EXPECT_EQ(contentOf(page), c.next);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"page.htm"})
        << "no temporary file stays behind";
}

TEST(WritePage, ReportsOpenAndWriteFailures) {
    QTemporaryDir dir;
    const QString missingDir = dir.filePath("nowhere/page.htm");
    EXPECT_EQ(writePage(missingDir, "x"), "cannot open " + missingDir.toUtf8());
    // A folder in the page's place cannot be replaced by a file.
    QDir(dir.path()).mkdir("folder.htm");
    EXPECT_EQ(writePage(dir.filePath("folder.htm"), "x"),
              "cannot open " + dir.filePath("folder.htm").toUtf8());
    // A disk that fills part-way: the old page stays whole and no temporary file is left.
    const QString page = dir.filePath("page.htm");
    ASSERT_EQ(writePage(page, "old"), QByteArray());
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const QByteArray result = writePage(page, QByteArray(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, "cannot write " + page.toUtf8());
    EXPECT_EQ(contentOf(page), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"folder.htm", "page.htm"}));
}
