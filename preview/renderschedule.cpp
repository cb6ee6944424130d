#include "preview/renderschedule.h"

RenderSchedule::RenderSchedule(int settleMilliseconds, std::function<void()> render)
    : render_(std::move(render)) {
    timer_.setSingleShot(true);
    timer_.setInterval(settleMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] { render_(); });
}

void RenderSchedule::request() {
    // Not restarted: a file saved again and again still gets its pages.
    if (!timer_.isActive())
        timer_.start();
}
