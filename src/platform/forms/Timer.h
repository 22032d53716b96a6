#pragma once
// The timer control: Interval in milliseconds, Enabled (false as placed on a
// window), and the OnTimer event. It ticks in modal loops and DoEvents too,
// and stops when the window it sits on is unloaded.
#include <functional>
#include <QObject>
#include <QTimer>

namespace forms {

class Form;

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr);

    // The Timer event of the control (a member cannot share the class's name).
    std::function<void()> OnTimer;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

private:
    void apply();
    const Form* owningForm() const;
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
};

} // namespace forms
