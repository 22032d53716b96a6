#pragma once
// Message boxes through one replaceable service; tests script the answers.
#include <functional>
#include <QString>

namespace vb {

enum MsgBoxStyle {
    vbOKOnly = 0, vbOKCancel = 1, vbYesNoCancel = 3, vbYesNo = 4,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton2 = 256,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

inline const char* const AppTitle = "Vantrels";

using MsgBoxHandler = std::function<int(const QString& prompt, int buttons, const QString& title)>;

// title empty means the application title.
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = QString());
// Replaces the service; an empty function restores the on-screen box.
void setMsgBoxHandler(MsgBoxHandler handler);

} // namespace vb
