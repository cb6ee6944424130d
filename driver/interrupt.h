#pragma once

#include <utility>

// How the run stops once it has begun: on SIGINT, SIGTERM or SIGHUP, on running out of
// memory on any thread, or on an error. A file that is being written when the stop
// comes is finished first (or removed by its writer), so that no page is left cut
// short; the process then ends at once with _exit: 128 + the signal's number for a
// signal, the status given otherwise. No file is begun once a stop is pending.
//
// Everything here is lock-free, and what the signal handler does is async-signal-safe:
// the handler only records the stop, and ends the process itself when no file is being
// written; otherwise the thread that ends the last write in progress ends it.

// Installs the handlers; a signal the run was started with ignored stays ignored.
void installStopHandlers();

// Brackets the writing of one file (or of a group of files that belong together): made
// before the file is created, ended after it is whole or removed. Either end may not
// return, when a stop is pending. The brackets of one thread do not nest.
class FileWriting {
public:
    FileWriting();
    ~FileWriting();
    FileWriting(const FileWriting &) = delete;
    FileWriting &operator=(const FileWriting &) = delete;
};

// Runs write (which writes files and returns what it returns) inside one bracket.
template <typename Write>
auto whileWritingFiles(Write &&write) {
    const FileWriting bracket;
    return std::forward<Write>(write)();
}

// Ends the process with status once no other thread is writing a file (the caller
// writes none); a stop already pending keeps its status. Output on stdout is flushed
// first.
[[noreturn]] void exitRun(int status);

// Says "error: out of memory" on standard error, unless the run is stopping already,
// and ends the process with status 1 through exitRun.
[[noreturn]] void exitOutOfMemory();

// Runs body, the whole of a thread's work, so that what it throws ends the run
// through exitRun instead of aborting the process: running out of memory as
// exitOutOfMemory() does, anything else as an error.
template <typename Body>
void runThreadBody(Body &&body) noexcept;

[[noreturn]] void exitOnThreadException();

template <typename Body>
void runThreadBody(Body &&body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        exitOnThreadException();
    }
}
