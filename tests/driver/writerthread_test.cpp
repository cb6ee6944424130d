#include "driver/writerthread.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/printers.h"

#include <gtest/gtest.h>

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
