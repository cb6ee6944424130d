#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// Runs renders one at a time, on the thread of the event loop: the first request
// starts a render a short settling time later, and every request that comes before it
// starts (the rest of an editor's save, the other files of a "save all") is served by
// the same render. A render holds the event loop, so the saves made meanwhile are
// seen once it ends, and they ask for one more.
class RenderSchedule : public QObject {
public:
    RenderSchedule(int settleMilliseconds, std::function<void()> render);

    void request();
    bool pending() const { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> render_;
};
