#include "driver/headerprefetch.h"

#include "docgen/backgrounddisposal.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

// Garbage that tells which thread freed it.
struct Witness {
    explicit Witness(std::thread::id *freedOn) : freedOn(freedOn) {}
    ~Witness() { *freedOn = std::this_thread::get_id(); }
    std::thread::id *freedOn;
};

} // namespace

// A model sent to the thread that parses ahead is freed there, before the parse started
// after it; declined, it is freed on a thread of the disposal's own.
TEST(HeaderPrefetch, FreesWhatIsSentOnItsThreadInTurn) {
    QTemporaryDir dir;
    const QString header = dir.filePath(QStringLiteral("a.h"));
    QFile file(header);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("/*! A. */\nint a;\n");
    file.close();

    HeaderPrefetch prefetch;
    BackgroundDisposal disposal;
    disposal.sendTo([&prefetch](std::function<void()> &work) { return prefetch.send(work); });
    std::thread::id freedOn, prefetchThread;
    disposal.dispose(std::make_unique<Witness>(&freedOn));
    std::function<void()> probe = [&prefetchThread] {
        prefetchThread = std::this_thread::get_id();
    };
    ASSERT_TRUE(prefetch.send(probe));
    prefetch.start(header);
    const std::unique_ptr<ParsedHeader> parsed = prefetch.take(header);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->documented.size(), 1u);
    EXPECT_EQ(freedOn, prefetchThread) << "freed on the thread, before the parse";
    EXPECT_NE(freedOn, std::this_thread::get_id());

    freedOn = std::thread::id();
    disposal.sendTo([](std::function<void()> &) { return false; });
    disposal.dispose(std::make_unique<Witness>(&freedOn));
    disposal.wait();
    EXPECT_NE(freedOn, std::thread::id());
    EXPECT_NE(freedOn, std::this_thread::get_id());
}
