#pragma once
// Process-wide services of the runtime: the program folder, the event pump
// and the screen's mouse pointer.
#include <functional>
#include <QString>

namespace forms {

// The folder the program runs from (where Vantrel.mdb and Vantrel.ini live).
QString AppPath();
// Tests point the program at a temporary folder; empty restores the default.
void setAppPathProvider(std::function<QString()> provider);

// Pumps pending window events once.
void DoEvents();
// How many DoEvents calls are running (the runtime defers its own work
// until it is back in the main loop).
int DoEventsDepth();
// Pumps events until the window manager has made a window just shown the
// active one (at most a second), so what follows opens over it.
class Form;
void WaitUntilActive(Form& window);

// Screen.MousePointer: 0 default, 11 hourglass.
constexpr int vbDefault = 0;
constexpr int vbHourglass = 11;
void SetMousePointer(int pointer);
int MousePointer();

// Sets the hourglass for a scope and puts the default back on every path.
class HourglassGuard {
public:
    HourglassGuard() { SetMousePointer(vbHourglass); }
    ~HourglassGuard() { SetMousePointer(vbDefault); }
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;
};

} // namespace forms
