#pragma once
// The date picker (a date box with a drop-down calendar) and the month
// calendar.
#include <functional>
#include <QCalendarWidget>
#include <QDateEdit>
#include "controls/Control.h"
#include "vb/Date.h"

namespace controls {

class DatePicker : public QDateEdit, public Control {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

    // A date picked or typed by the user; code writes raise nothing.
    std::function<void()> Change;

    vb::Date Value() const;
    void setValue(const vb::Date& d);

    // What a user's pick from the calendar does (tests).
    void Pick(const vb::Date& d);

private:
    int quiet_ = 0;
};

class MonthView : public QCalendarWidget, public Control {
    Q_OBJECT
public:
    // Shows today (the program's clock) when made.
    explicit MonthView(QWidget* parent = nullptr);

    std::function<void(const vb::Date& DateClicked)> DateClick;
    // Raised before the calendar acts on the key.
    std::function<void(int KeyCode, int Shift)> KeyDown;

    vb::Date Value() const;
    void setValue(const vb::Date& d);

    // What a user's click on a day does (tests).
    void ClickDate(const vb::Date& d);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    const QEvent* lastRaised_ = nullptr;
};

} // namespace controls
