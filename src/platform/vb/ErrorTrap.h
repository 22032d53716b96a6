#pragma once
// The one error trap: a procedure wraps its body, and any run-time error
// shows the error report built from the procedure's label and ends it.
#include <exception>
#include <QString>
#include "vb/RuntimeError.h"

namespace vb {

// label & number & " " & description & ".  If error persists contact Vantrels author."
QString ErrorReportText(const QString& label, long number, const QString& description);
void ShowErrorReport(const QString& label, const RuntimeError& e);

// Turns any exception into the RuntimeError the report shows.
RuntimeError ToRuntimeError(std::exception_ptr p);

// Runs body; on an error shows the report and returns false.
template <class F>
bool Trap(const QString& label, F&& body) {
    try {
        body();
        return true;
    } catch (...) {
        ShowErrorReport(label, ToRuntimeError(std::current_exception()));
        return false;
    }
}

// Runs body, ignoring every error (the procedures that pass over errors).
template <class F>
void IgnoreErrors(F&& body) {
    try { body(); } catch (...) {}
}

} // namespace vb
