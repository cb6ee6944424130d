#pragma once

#include "docgen/aheadwindow.h"
#include "docgen/headerparse.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class SourceBrowserObject;

// The documented declarations of the header whose pages are being made, prepared on a
// thread of their own in the order of their pages while the pages are made: the thread
// that makes the pages takes them ready, and the thread that parses the next header
// only parses. The thread stays at most a few hundred declarations ahead of the pages
// (AheadWindow), so that the prepared ones held at a time stay few.
class PreparedAhead {
public:
    // Starts on the documented declarations of a parsed header (ParsedHeader::documented),
    // whose model must outlive this object; none when there are none or no thread can be
    // started.
    static std::unique_ptr<PreparedAhead>
    start(const std::vector<const SourceBrowserObject *> &documented);
    // Stops the thread; declarations it has not prepared are dropped.
    ~PreparedAhead();
    PreparedAhead(const PreparedAhead &) = delete;
    PreparedAhead &operator=(const PreparedAhead &) = delete;

    // Moves the prepared entity into out and returns true when the thread has prepared
    // it; false otherwise, and the caller prepares it. Entities are asked for in the
    // order of their pages.
    bool take(const SourceBrowserObject &entity, PreparedDeclaration &out);

private:
    struct Slot {
        const SourceBrowserObject *entity;
        PreparedDeclaration prepared;
    };
    PreparedAhead();

    std::vector<Slot> slots_;         // the documented declarations, in page order
    std::atomic<size_t> prepared_{0}; // slots_[0, prepared_) are prepared
    // The pages have gone past the first taken() declarations; the thread stays within
    // a window of them.
    AheadWindow window_;
    std::thread thread_;

    void run();
};
