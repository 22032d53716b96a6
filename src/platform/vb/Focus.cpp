#include "vb/Focus.h"

namespace forms {
namespace { int g_suppress = 0; }

bool FocusEventsSuppressed() { return g_suppress > 0; }

bool ShouldRaiseFocusEvent(const QFocusEvent* e) {
    if (FocusEventsSuppressed()) return false;
    // A popup (a combo's list, a menu) takes focus only for a moment.
    return e->reason() != Qt::PopupFocusReason;
}

FocusSuppressor::FocusSuppressor() { ++g_suppress; }
FocusSuppressor::~FocusSuppressor() { --g_suppress; }

} // namespace forms
