#include "driver/interrupt.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include <csignal>
#include <unistd.h>

namespace {

// The status the process ends with once it stops; 0 while no stop is pending. The
// first stop decides it.
std::atomic<int> stopStatus{0};
// Files (or groups of them) being written by any thread.
std::atomic<int> filesBeingWritten{0};
// Whether the run's last error line has been said: one line, however many threads fail.
std::atomic<bool> errorSaid{false};

// Both sides use sequentially consistent operations: a writer raises the count and
// then reads the status, a stop sets the status and then reads the count, so at least
// one of the two sees the other (and ends the process, or does not begin the file).

bool requestStop(int status) {
    int none = 0;
    return stopStatus.compare_exchange_strong(none, status);
}

[[noreturn]] void endNow() {
    ::_exit(stopStatus.load());
}

// Waits for the thread writing the last file to end the process.
[[noreturn]] void waitForTheEnd() {
    for (;;)
        ::pause();
}

void onSignal(int signal) {
    const int savedErrno = errno;
    requestStop(128 + signal);
    // A file in progress, even one this thread was writing when the signal came, is
    // finished by its writer, which then ends the process.
    if (filesBeingWritten.load() == 0)
        endNow();
    errno = savedErrno;
}

// Whether this thread is the one to say why the run stops.
bool firstToSay() {
    return stopStatus.load() == 0 && !errorSaid.exchange(true);
}

void writeError(const char *text) {
    const size_t length = std::strlen(text);
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(STDERR_FILENO, text + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

} // namespace

namespace {

std::terminate_handler previousTerminate = nullptr;

// An allocation that fails where no one can catch it (in a function that may not
// throw, or on a thread) ends the run as a failed one anywhere else does.
[[noreturn]] void onTerminate() {
    if (const std::exception_ptr exception = std::current_exception()) {
        try {
            std::rethrow_exception(exception);
        } catch (const std::bad_alloc &) {
            exitOutOfMemory();
        } catch (...) {
        }
    }
    if (previousTerminate)
        previousTerminate();
    std::abort();
}

} // namespace

void installStopHandlers() {
    // Running out of memory ends the run where the allocation fails, whoever asked.
    std::set_new_handler([] { exitOutOfMemory(); });
    previousTerminate = std::set_terminate(onTerminate);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous;
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue; // as under nohup: ignored on purpose
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = onSignal;
        sigfillset(&action.sa_mask); // one handler at a time
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

namespace {
// Whether the calling thread is inside a bracket: a thread that must stop while it
// writes (it ran out of memory there) gives its bracket up rather than wait for itself.
thread_local bool writing = false;
} // namespace

FileWriting::FileWriting() {
    filesBeingWritten.fetch_add(1);
    if (stopStatus.load() == 0) {
        writing = true;
        return;
    }
    // A stop came first: the file is not begun.
    if (filesBeingWritten.fetch_sub(1) == 1)
        endNow();
    waitForTheEnd();
}

FileWriting::~FileWriting() {
    writing = false;
    if (filesBeingWritten.fetch_sub(1) == 1 && stopStatus.load() != 0)
        endNow();
}

void exitRun(int status) {
    std::fflush(stdout);
    requestStop(status);
    if (writing) {
        writing = false;
        if (filesBeingWritten.fetch_sub(1) == 1)
            endNow();
        waitForTheEnd();
    }
    if (filesBeingWritten.load() == 0)
        endNow();
    waitForTheEnd();
}

void exitOutOfMemory() {
    if (firstToSay()) {
        std::fflush(stdout);
        writeError("error: out of memory\n");
    }
    exitRun(1);
}

void exitOnThreadException() {
    try {
        throw;
    } catch (const std::bad_alloc &) {
        exitOutOfMemory();
    } catch (const std::exception &error) {
        if (firstToSay()) {
            std::fflush(stdout);
            writeError("error: ");
            writeError(error.what());
            writeError("\n");
        }
    } catch (...) {
        if (firstToSay()) {
            std::fflush(stdout);
            writeError("error: internal failure on a thread of the run\n");
        }
    }
    exitRun(1);
}
