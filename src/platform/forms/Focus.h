#pragma once
// Focus events between the program's own windows and controls.
//
// The runtime keeps one logical focus: the last focused control inside a
// program window. It raises LostFocus on the old control and then GotFocus on
// the new one only when that logical focus moves to another control of a
// program window: the user clicks or tabs to it, a button takes the focus
// before its Click, a program window is shown and takes activation, an owned
// or modal window unloads and gives the focus back to its owner, or code calls
// SetFocus. Moves into a message box, a menu, a popup list, another
// application or nothing raise nothing, and neither does the return from them.
//
// Controls take part by deriving from FocusTarget (through controls::Control,
// see controls/Control.h); they never raise their focus events themselves.
#include <QList>
#include <QPointer>
#include <QWidget>
// The gate (FocusEventsSuppressed, FocusSuppressor) sits beside the message
// box in the value library.
#include "vb/Focus.h"

namespace forms {

class Form;

// A widget that can hold the logical focus. Constructing it registers the
// widget; the runtime maps any focused Qt widget to its nearest registered
// ancestor-or-self, so focus moving among a control's own children (an
// in-cell editor, a combo's line edit) is no move.
class FocusTarget {
public:
    explicit FocusTarget(QWidget* self);
    virtual ~FocusTarget();
    FocusTarget(const FocusTarget&) = delete;
    FocusTarget& operator=(const FocusTarget&) = delete;

    QWidget* targetWidget() const { return self_; }
    // The program window the control sits in, or nullptr.
    Form* form() const;
    // True when this control holds the logical focus.
    bool hasLogicalFocus() const;
    // Moves the logical (and Qt) focus here, raising LostFocus on the old
    // control and GotFocus on this one before it returns.
    void takeFocus();

    // The registered control a widget belongs to (itself or an ancestor in
    // the same window), or nullptr.
    static FocusTarget* of(const QWidget* w);
    // Every registered control of a window (not of the windows it owns).
    static QList<FocusTarget*> in(const QWidget* window);

    // The window is closing: an edit still open in the control ends as a move
    // would end it (a grid commits its cell and raises AfterEdit), so what
    // was typed reaches the window's close handlers.
    virtual void endOpenEdit() {}

protected:
    // Called by the runtime. Overrides that must finish something first (a
    // grid committing its edit before LostFocus) do it and then raise.
    virtual void onGotFocus() = 0;
    virtual void onLostFocus() = 0;

private:
    friend class FocusModel;
    QWidget* self_;
};

// SetFocus from code (and what tests use: real focus is unreliable offscreen).
void SetFocusTo(FocusTarget& control);
// The control holding the logical focus, or nullptr.
FocusTarget* CurrentFocus();
// The last control that held the focus inside this window, or nullptr.
FocusTarget* LastFocusIn(const QWidget* window);

// Runtime hooks used by Form.
namespace focus_detail {
// A program window is shown and takes activation: the focus enters it (its
// last focused control, else its first control in tab order).
void enterWindow(Form* f);
// The window is unloading: it no longer holds the focus (no LostFocus is
// raised on a control of a window that is going away).
void leaveWindow(Form* f);
// Gives the focus back to a control after an owned or modal window closed.
void returnTo(QWidget* control);
// Forgets everything (tests).
void reset();
}

} // namespace forms
