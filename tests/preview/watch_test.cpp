// Saves start renders: one for a burst, one for a save by renaming, one for a missing
// file that appears, and none for what a render or an editor writes beside the sources.

#include "preview/renderschedule.h"
#include "preview/sourcewatch.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace {

void write(const QDir &dir, const QString &name, const QByteArray &text) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(name);
    file.write(text);
}

struct Case {
    const char *name;
    // Each step is followed by the renders it starts, once the events are handled.
    std::vector<std::function<void(const QDir &)>> steps;
    std::vector<int> renders; // the count after each step
    // A save made while the first render runs.
    std::function<void(const QDir &)> duringFirstRender = nullptr;
};

void PrintTo(const Case &c, std::ostream *out) {
    *out << c.name;
}

class SaveTest : public ::testing::TestWithParam<Case> {};

TEST_P(SaveTest, StartsTheRendersItShould) {
    static int argc = 1;
    static char name[] = "preview_tests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    write(dir, "manual.dg", "\\split{index}\n\\include chapter.dg\n");
    write(dir, "chapter.dg", "Text.\n");
    const QStringList read{dir.filePath("manual.dg"), dir.filePath("chapter.dg")};
    int renders = 0;
    SourceWatch *watch = nullptr;
    const Case &c = GetParam();
    // As the preview does: each render watches again what it read and looked for.
    RenderSchedule schedule(25, [&] {
        watch->beforeRender();
        if (++renders == 1 && c.duringFirstRender)
            c.duringFirstRender(dir);
        watch->watch(read, QFile::exists(dir.filePath("later.dg"))
                               ? QStringList()
                               : QStringList{dir.filePath("later.dg")});
    });
    SourceWatch sourceWatch([&schedule] { schedule.request(); });
    watch = &sourceWatch;
    sourceWatch.watch(read, {dir.filePath("later.dg")});

    for (size_t step = 0; step < c.steps.size(); ++step) {
        c.steps[step](dir);
        // Until nothing has happened for a while: the kernel's reports come late.
        QDeadlineTimer quiet(500);
        const QDeadlineTimer limit(10'000);
        int seen = renders;
        while (!quiet.hasExpired() && !limit.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (renders != seen || schedule.pending()) {
                seen = renders;
                quiet.setRemainingTime(500);
            }
        }
        EXPECT_EQ(renders, c.renders[step]) << "after step " << step + 1;
    }
}

const Case cases[] = {
    {"a burst of saves of two files",
     {[](const QDir &dir) {
         for (int i = 0; i < 20; ++i) {
             write(dir, "chapter.dg", "Text " + QByteArray::number(i) + ".\n");
             write(dir, "manual.dg",
                   "\\split{index}\n\\include chapter.dg\n% " + QByteArray::number(i) + "\n");
         }
     }},
     {1}},
    {"saves by renaming a new file over the old, twice",
     {[](const QDir &dir) {
          write(dir, "chapter.dg.new", "New text.\n");
          ASSERT_EQ(::rename(qPrintable(dir.filePath("chapter.dg.new")),
                             qPrintable(dir.filePath("chapter.dg"))),
                    0);
      },
      [](const QDir &dir) {
          write(dir, "chapter.dg.new", "Newer text.\n");
          ASSERT_EQ(::rename(qPrintable(dir.filePath("chapter.dg.new")),
                             qPrintable(dir.filePath("chapter.dg"))),
                    0);
      }},
     {1, 2}},
    {"a save while a render runs",
     {[](const QDir &dir) { write(dir, "manual.dg", "\\split{index}\n"); }},
     {2},
     [](const QDir &dir) { write(dir, "chapter.dg", "Saved meanwhile.\n"); }},
    {"a missing include appears",
     {[](const QDir &dir) { write(dir, "later.dg", "Later.\n"); }},
     {1}},
    {"pages, pictures and an editor's files beside the sources",
     {[](const QDir &dir) {
         write(dir, "index.htm", "<p>page</p>");
         dir.mkpath("images");
         write(dir, "images/icon.png", "png");
         write(dir, ".chapter.dg.swp", "swap");
         QFile::remove(dir.filePath(".chapter.dg.swp"));
         QFile chapter(dir.filePath("chapter.dg"));
         ASSERT_TRUE(chapter.open(QIODevice::ReadOnly));
         chapter.readAll();
     }},
     {0}},
};

INSTANTIATE_TEST_SUITE_P(Saves, SaveTest, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
