#pragma once
// Message boxes through one replaceable service; tests script the answers.
#include <functional>
#include <QString>

namespace vb {

enum MsgBoxStyle {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

inline const char* const AppTitle = "Vantrels";

using MsgBoxHandler = std::function<int(const QString& prompt, int buttons, const QString& title)>;

// title empty means the application title; the handler always receives the
// title the user sees ("Vantrels" for an empty one).
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = QString());
// Replaces the service; an empty function restores the on-screen box.
void setMsgBoxHandler(MsgBoxHandler handler);
// Runs before every box waits for its answer (the user may take minutes):
// the data layer gives back the file locks it keeps for a run of reads.
void setBeforeAsking(void (*hook)());

// The on-screen box the service shows when no handler is set: a modal
// QMessageBox with the style's buttons, icon and default button, raising no
// focus events in the window beneath it. Returns the button's result.
int ShowMessageBox(const QString& prompt, int buttons, const QString& title);

} // namespace vb
