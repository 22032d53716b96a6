#include "controls/DatePicker.h"
#include <QAbstractItemView>
#include <QKeyEvent>
#include "controls/Keys.h"

namespace controls {

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    setCalendarPopup(true);
    {
        ++quiet_;
        setDate(vb::Today().toQDate());
        --quiet_;
    }
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!quiet_) fire(Change);
    });
}

vb::Date DatePicker::Value() const { return vb::Date::fromQDate(date()); }

void DatePicker::setValue(const vb::Date& d) {
    ++quiet_;
    setDate(d.toQDate());
    --quiet_;
}

void DatePicker::Pick(const vb::Date& d) {
    if (!hasLogicalFocus()) takeFocus();
    setDate(d.toQDate());
}

MonthView::MonthView(QWidget* parent) : QCalendarWidget(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    setSelectedDate(vb::Today().toQDate());
    connect(this, &QCalendarWidget::clicked, this, [this](const QDate& d) {
        fire(DateClick, vb::Date::fromQDate(d));
    });
    // The keys reach the day table inside.
    for (QAbstractItemView* v : findChildren<QAbstractItemView*>()) v->installEventFilter(this);
}

vb::Date MonthView::Value() const { return vb::Date::fromQDate(selectedDate()); }

void MonthView::setValue(const vb::Date& d) { setSelectedDate(d.toQDate()); }

void MonthView::ClickDate(const vb::Date& d) {
    if (!hasLogicalFocus()) takeFocus();
    setSelectedDate(d.toQDate());
    emit clicked(d.toQDate());
}

bool MonthView::eventFilter(QObject* watched, QEvent* e) {
    if (watched != this) {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            lastRaised_ = k;
            if (const int code = VbKeyCode(k->key())) fire(KeyDown, code, VbShift(k->modifiers()));
        } else if (e->type() == QEvent::KeyRelease) {
            lastRaised_ = nullptr;
        }
    }
    return QCalendarWidget::eventFilter(watched, e);
}

void MonthView::keyPressEvent(QKeyEvent* e) {
    // A key the day table passed on was raised already.
    if (e != lastRaised_) {
        if (const int code = VbKeyCode(e->key())) fire(KeyDown, code, VbShift(e->modifiers()));
    }
    lastRaised_ = nullptr;
    QCalendarWidget::keyPressEvent(e);
}

} // namespace controls
