#pragma once
// The base every control of a window derives from, next to its Qt widget.
//
// How a control takes part in the focus model:
//
//     class MyGrid : public QAbstractScrollArea, public controls::Control {
//     public:
//         explicit MyGrid(QWidget* parent = nullptr)
//             : QAbstractScrollArea(parent), Control(this) {}
//     };
//
// Control(this) registers the widget with the runtime (forms/Focus.h). The
// runtime watches QApplication::focusChanged, maps the focused Qt widget to
// the nearest registered control (itself or an ancestor, so an in-cell editor
// or a viewport counts as the control), and when the program's one logical
// focus moves it calls onLostFocus() on the old control, then onGotFocus() on
// the new one. Their default raises the public GotFocus / LostFocus members.
// Never raise GotFocus / LostFocus from focusInEvent / focusOutEvent: focus
// going into a message box, a menu or a popup list must raise nothing, and
// the runtime alone knows that.
//
// - A control that must hold the focus before it acts on a mouse press (a
//   button before Click, a grid before its move and Click) calls takeFocus()
//   first: LostFocus on the old control and GotFocus on this one have run when
//   it returns (also offscreen, where Qt's own focus is unreliable).
//   hasLogicalFocus() tells whether it already holds it.
// - A control that must finish something before LostFocus (a grid commits its
//   open edit and raises AfterEdit) overrides onLostFocus(), does that, then
//   calls Control::onLostFocus().
// - Event members are plain std::function; the window assigns them in its
//   constructor. fire() calls one if set and reports a run-time error that
//   escapes it, so no exception reaches the Qt event loop.
// - Geometry is in twips relative to the container.
#include <functional>
#include <QString>
#include <QWidget>
#include "forms/Focus.h"

namespace controls {

class Control : public forms::FocusTarget {
public:
    explicit Control(QWidget* self) : forms::FocusTarget(self) {}

    std::function<void()> GotFocus;
    std::function<void()> LostFocus;

    // SetFocus from code: the focus events of a real move.
    void SetFocus() { takeFocus(); }

    // Position and size in twips, relative to the container.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    // Move(left, top[, width[, height]]); a negative size keeps the current one.
    void Move(int left, int top, int width = -1, int height = -1);

    // The design-time Visible / Enabled of the control itself (true for a
    // visible control on a window that is still hidden).
    // (Setting them is QWidget's own setVisible / setEnabled.)
    bool Visible() const { return !targetWidget()->isHidden(); }
    bool Enabled() const { return targetWidget()->isEnabled(); }
    QString ToolTipText() const { return targetWidget()->toolTip(); }
    void setToolTipText(const QString& t) { targetWidget()->setToolTip(t); }

    // Calls an event member if set (named fire, as QWidget has raise); a run-time error that escapes the
    // handler shows the error report instead of reaching the event loop.
    template <class... Fn, class... A>
    static void fire(const std::function<void(Fn...)>& event, A&&... args) {
        if (!event) return;
        try {
            event(std::forward<A>(args)...);
        } catch (...) {
            reportEscapedError();
        }
    }

protected:
    void onGotFocus() override { fire(GotFocus); }
    void onLostFocus() override { fire(LostFocus); }

private:
    static void reportEscapedError();
};

} // namespace controls
