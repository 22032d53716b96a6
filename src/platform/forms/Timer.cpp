#include "forms/Timer.h"
#include <exception>
#include "forms/Form.h"
#include "vb/ErrorTrap.h"

namespace forms {

Timer::Timer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, [this] {
        // A window's timers stop with its Unload: until Qt deletes the window
        // its handler would run on controls nobody sees.
        if (const Form* f = owningForm(); f && f->IsUnloading()) {
            timer_.stop();
            return;
        }
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

const Form* Timer::owningForm() const {
    for (const QObject* o = parent(); o; o = o->parent())
        if (auto* f = qobject_cast<const Form*>(o)) return f;
    return nullptr;
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
