#include "driver/writerthread.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(WriterThread, WritesInOrderAndStopsAtTheFirstFailure) {
    QTemporaryDir dir;
    WriterThread writer(2); // fewer places than pages: queueing must wait, not drop
    QStringList names;
    for (int i = 0; i < 10; ++i) {
        names.append(dir.filePath(i == 4 ? QStringLiteral("missing/4.htm")
                                         : QStringLiteral("%1.htm").arg(i)));
        writer.queue(OutputPage{names.last(), QString(), QString::number(i)});
    }
    const std::vector<WriterThread::Outcome> outcomes = writer.finish();
    ASSERT_EQ(outcomes.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(outcomes[i].fileName, names[i]);
        EXPECT_EQ(outcomes[i].error.isEmpty(), i != 4) << i;
    }
    EXPECT_TRUE(QFile::exists(names[3]));
    EXPECT_FALSE(QFile::exists(names[5])) << "nothing is written after a failure";

    // The writer is ready for the next input.
    writer.queue(OutputPage{dir.filePath("next.htm"), QString(), QStringLiteral("next")});
    ASSERT_EQ(writer.finish().size(), 1u);
    EXPECT_TRUE(QFile::exists(dir.filePath("next.htm")));
}

// Work attached to the writer runs while it waits for pages, one work at a time, goes
// on when woken after it ran out, and runs no more once detached.
TEST(WriterThread, RunsAttachedWorkUntilDetached) {
    struct Counting : AheadWork {
        std::atomic<int> done{0};
        std::atomic<int> allowed{0};
        bool runOne() override {
            if (done.load() >= allowed.load())
                return false;
            ++done;
            return true;
        }
    } work;
    const auto runUntil = [&work](int count) {
        while (work.done.load() < count)
            std::this_thread::yield();
    };
    WriterThread writer;
    work.allowed = 100;
    ASSERT_TRUE(writer.attach(&work));
    Counting other;
    EXPECT_FALSE(writer.attach(&other)) << "one work at a time";
    writer.detach(&other); // never attached: nothing to wait for
    runUntil(100);
    work.allowed = 200;
    writer.wake();
    runUntil(200);
    writer.detach(&work);
    work.allowed = 300;
    writer.wake();
    QTemporaryDir dir;
    writer.queue(OutputPage{dir.filePath("page.htm"), QString(), QStringLiteral("page")});
    ASSERT_EQ(writer.finish().size(), 1u);
    EXPECT_EQ(work.done.load(), 200);
}
