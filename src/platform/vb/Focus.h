#pragma once
// Focus events between the program's own windows and controls. A control
// raises its GotFocus/LostFocus only when this says so: message boxes and
// other runtime-owned popups raise none in the window beneath them.
// It lives beside the message box, the lowest code that needs it, so the
// value library has no link back to the window runtime; forms/Focus.h
// forwards here.
#include <QFocusEvent>

namespace forms {

// True while a message box (or another runtime popup) is taking the focus.
bool FocusEventsSuppressed();

// Should a control raise GotFocus/LostFocus for this Qt focus event?
bool ShouldRaiseFocusEvent(const QFocusEvent* e);

// Suppresses focus events for a scope (used around message boxes).
class FocusSuppressor {
public:
    FocusSuppressor();
    ~FocusSuppressor();
    FocusSuppressor(const FocusSuppressor&) = delete;
    FocusSuppressor& operator=(const FocusSuppressor&) = delete;
};

} // namespace forms
