#pragma once

#include "docgen/headerparse.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

// Parses the next header of the run on a thread of its own while the pages of the
// current input are built, so that the two halves of a header's work (parsing, then
// rendering) overlap across inputs. At most one header is parsed ahead, so memory
// stays that of two inputs however long the run. Parsing has no effects outside its
// result; the rendering thread replays the messages in the input's turn, which keeps
// everything printed in the order of a run without it.
//
// One thread parses every header ahead, and frees the models once their pages are made
// (send): the memory of a model goes back to that thread's heap and serves the header
// after next, where a thread of its own per header would start from fresh memory and
// leave its heap behind as it ends.
class HeaderPrefetch {
public:
    HeaderPrefetch() = default;
    HeaderPrefetch(const HeaderPrefetch &) = delete;
    HeaderPrefetch &operator=(const HeaderPrefetch &) = delete;
    // Waits for a parse still under way: a run stopped by an error leaves no thread behind.
    ~HeaderPrefetch();

    // Starts parsing path when it names a regular file with the suffix "h" (a pipe or
    // device is left to be read in its turn, so a stopped run never waits for it).
    void start(const QString &path);
    // The parse of path started earlier, once finished; null when none was started for it.
    std::unique_ptr<ParsedHeader> take(const QString &path);

    // Takes work for the thread, which runs it before the parses started after it;
    // false, leaving work untouched, when no thread can be had.
    bool send(std::function<void()> &work);

private:
    void run();
    bool startThread();

    QString path_; // the header being parsed ahead; empty when none
    std::future<ParsedHeader> parse_;
    std::mutex mutex_;
    std::condition_variable hasTask_;
    std::deque<std::function<void()>> tasks_; // for the thread, in turn
    bool stopping_ = false;
    std::thread thread_; // started with the first parse
};
