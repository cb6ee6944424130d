#pragma once

// Work done ahead of the pages in small pieces by a thread that has work of its own
// (the caller's page writer) rather than by a thread of its own: the writer fills with
// it the time it would spend waiting for pages, and on two cores no third thread takes
// turns with the two that make and write the pages.
class AheadWork {
public:
    virtual ~AheadWork() = default;
    // Does one piece; false when there is none to do until the worker is woken.
    virtual bool runOne() = 0;
};

// A thread of the caller's that runs an AheadWork's pieces between its own jobs.
class AheadWorker {
public:
    virtual ~AheadWorker() = default;
    // Runs work's pieces from now on, until detach(); false, and nothing is run, when
    // another work is attached.
    virtual bool attach(AheadWork *work) = 0;
    // Stops running work's pieces, if it was attached; returns once none is running.
    virtual void detach(AheadWork *work) = 0;
    // The attached work has a piece to do again: wakes the worker if it sleeps.
    virtual void wake() = 0;
};
