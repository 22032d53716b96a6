#include "forms/Timer.h"
#include <exception>
#include "vb/ErrorTrap.h"

namespace forms {

Timer::Timer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!OnTimer) return;
        // A copy: the handler may replace the event or unload the window.
        auto handler = OnTimer;
        try {
            handler();
        } catch (...) {
            vb::ShowErrorReport(QString(), vb::ToRuntimeError(std::current_exception()));
        }
    });
}

void Timer::setInterval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    apply();
}

void Timer::setEnabled(bool enabled) {
    enabled_ = enabled;
    apply();
}

void Timer::apply() {
    // Interval 0 means no ticks, whatever Enabled says; setting either
    // property restarts the count.
    if (enabled_ && interval_ > 0) timer_.start(interval_);
    else timer_.stop();
}

} // namespace forms
