#include "forms/Focus.h"
#include <QApplication>
#include <QHash>
#include "forms/Form.h"

namespace forms {
// The one logical focus and the registry of controls that can hold it.
class FocusModel {
public:
    static FocusModel& get() {
        static FocusModel m;
        return m;
    }

    QHash<const QWidget*, FocusTarget*> targets;
    QHash<const QWidget*, FocusTarget*> lastInWindow;  // window -> control
    FocusTarget* current = nullptr;
    // Set while a LostFocus runs for a move whose GotFocus is still due.
    FocusTarget* pendingGot = nullptr;
    bool connected = false;

    void connectOnce() {
        if (connected) return;
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (!app) return;
        connected = true;
        QObject::connect(app, &QApplication::focusChanged, app,
                         [](QWidget*, QWidget* now) { get().qtFocusChanged(now); });
    }

    static bool inLiveProgramWindow(const QWidget* w) {
        auto* f = qobject_cast<Form*>(w->window());
        return f && !f->IsUnloading();
    }

    void qtFocusChanged(QWidget* now) {
        // Message boxes, menus, popups, other applications and "nothing" are
        // not program windows: the logical focus stays where it was, so the
        // return from them is no move either.
        if (FocusEventsSuppressed() || !now || !inLiveProgramWindow(now)) return;
        FocusTarget* t = FocusTarget::of(now);
        if (!t || t == current) return;
        moveTo(t, false);
    }

    void moveTo(FocusTarget* t, bool giveQtFocus) {
        if (t == current) {
            if (giveQtFocus) qtFocus(t);
            return;
        }
        FocusTarget* old = current;
        current = t;
        if (t) lastInWindow.insert(t->targetWidget()->window(), t);
        if (giveQtFocus && t) qtFocus(t);

        // A control whose GotFocus never ran (a LostFocus handler moved the
        // focus on) loses nothing.
        const bool oldGotFocus = old && old != pendingGot;
        FocusTarget* savedPending = pendingGot;
        pendingGot = t;
        if (oldGotFocus && inLiveProgramWindow(old->targetWidget())) old->onLostFocus();
        pendingGot = savedPending;
        // A LostFocus handler may have moved the focus elsewhere: that move
        // raised its own events.
        if (t && current == t) t->onGotFocus();
    }

    static void qtFocus(FocusTarget* t) {
        QWidget* w = t->targetWidget();
        if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    }

    void forget(FocusTarget* t) {
        targets.remove(t->targetWidget());
        if (current == t) current = nullptr;
        if (pendingGot == t) pendingGot = nullptr;
        for (auto it = lastInWindow.begin(); it != lastInWindow.end();) {
            if (it.value() == t) it = lastInWindow.erase(it);
            else ++it;
        }
    }

    // The control Qt would focus first when the window activates.
    FocusTarget* firstInTabOrder(QWidget* window) {
        auto usable = [window](QWidget* w) {
            return w->window() == window && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
                   w->isVisibleTo(window);
        };
        // The window's keyboard order names its first control.
        if (auto* first = qobject_cast<QWidget*>(window->property(Form::kFirstControlProperty).value<QObject*>()))
            if (usable(first))
                if (FocusTarget* t = FocusTarget::of(first)) return t;
        QWidget* w = window->nextInFocusChain();
        while (w && w != window) {
            if (w->window() == window && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
                w->isVisibleTo(window)) {
                if (FocusTarget* t = FocusTarget::of(w)) return t;
            }
            w = w->nextInFocusChain();
        }
        return nullptr;
    }
};

FocusTarget::FocusTarget(QWidget* self) : self_(self) {
    auto& m = FocusModel::get();
    m.connectOnce();
    m.targets.insert(self, this);
}

FocusTarget::~FocusTarget() { FocusModel::get().forget(this); }

Form* FocusTarget::form() const { return qobject_cast<Form*>(self_->window()); }

bool FocusTarget::hasLogicalFocus() const { return FocusModel::get().current == this; }

void FocusTarget::takeFocus() { SetFocusTo(*this); }

FocusTarget* FocusTarget::of(const QWidget* w) {
    auto& targets = FocusModel::get().targets;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (FocusTarget* t = targets.value(p)) return t;
        if (p->isWindow()) break;
    }
    return nullptr;
}

QList<FocusTarget*> FocusTarget::in(const QWidget* window) {
    QList<FocusTarget*> out;
    const auto& targets = FocusModel::get().targets;
    for (auto it = targets.begin(); it != targets.end(); ++it)
        if (it.key()->window() == window) out << it.value();
    return out;
}

void SetFocusTo(FocusTarget& control) {
    // SetFocus on a control of a window being unloaded does nothing.
    if (auto* f = control.form(); f && f->IsUnloading()) return;
    FocusModel::get().moveTo(&control, true);
}

FocusTarget* CurrentFocus() { return FocusModel::get().current; }

FocusTarget* LastFocusIn(const QWidget* window) { return FocusModel::get().lastInWindow.value(window); }

namespace focus_detail {

void enterWindow(Form* f) {
    auto& m = FocusModel::get();
    FocusTarget* t = m.lastInWindow.value(f);
    if (!t) t = m.firstInTabOrder(f);
    if (t) {
        m.moveTo(t, true);
    } else if (m.current && m.current->targetWidget()->window() != f) {
        // A window with nothing to focus still takes activation away.
        m.moveTo(nullptr, false);
    }
}

void leaveWindow(Form* f) {
    auto& m = FocusModel::get();
    if (m.current && m.current->targetWidget()->window() == f) m.current = nullptr;
    m.lastInWindow.remove(f);
}

void returnTo(QWidget* control) {
    if (!control) return;
    auto& m = FocusModel::get();
    FocusTarget* t = m.targets.value(control);
    if (!t || !FocusModel::inLiveProgramWindow(control)) return;
    if (QWidget* win = control->window(); win->isVisible()) {
        win->activateWindow();
    }
    m.moveTo(t, true);
}

void reset() {
    auto& m = FocusModel::get();
    m.current = nullptr;
    m.pendingGot = nullptr;
    m.lastInWindow.clear();
}

} // namespace focus_detail
} // namespace forms
