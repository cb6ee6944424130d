#pragma once

// Work done ahead of the pages in small pieces, by a thread that has work of its own
// besides (the caller's page writer): one thread fewer than a thread of its own, and
// one that the writer fills while it waits for pages, instead of sleeping while a
// third thread takes the other core.
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
