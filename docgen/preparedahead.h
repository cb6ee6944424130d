#pragma once

#include "docgen/aheadwindow.h"
#include "docgen/headerparse.h"

#include <atomic>
#include <memory>
#include <vector>

class SourceBrowserObject;

// The documented declarations of the header whose pages are being made, prepared
// ahead of the pages in the order of their pages by the caller's worker, between its
// own jobs (AheadWorker): the thread that makes the pages takes them ready, and the
// thread that parses the next header only parses. The worker stays at most a few
// hundred declarations ahead of the pages (AheadWindow), so that the prepared ones held
// at a time stay few.
class PreparedAhead : public AheadWork {
public:
    // Starts on the documented declarations of a parsed header (ParsedHeader::documented),
    // whose model must outlive this object; none when there are none or no worker.
    static std::unique_ptr<PreparedAhead>
    start(const std::vector<const SourceBrowserObject *> &documented, AheadWorker *worker);
    // Takes the work from the worker; declarations not yet prepared are dropped.
    ~PreparedAhead() override;
    PreparedAhead(const PreparedAhead &) = delete;
    PreparedAhead &operator=(const PreparedAhead &) = delete;

    // Moves the prepared entity into out and returns true when it has been prepared;
    // false otherwise, and the caller prepares it. Entities are asked for in the order
    // of their pages.
    bool take(const SourceBrowserObject &entity, PreparedDeclaration &out);

    // The worker's piece: prepares the next declaration within the window.
    bool runOne() override;

private:
    struct Slot {
        const SourceBrowserObject *entity;
        PreparedDeclaration prepared;
    };
    explicit PreparedAhead(AheadWorker &worker);

    std::vector<Slot> slots_;         // the documented declarations, in page order
    std::atomic<size_t> prepared_{0}; // slots_[0, prepared_) are prepared
    // The pages have gone past the first taken() declarations; the worker stays within
    // a window of them.
    AheadWindow window_;
    AheadWorker &worker_;
    size_t next_ = 0; // the worker's next declaration, unless the pages have passed it
};
