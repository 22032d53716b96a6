#pragma once
// Key codes and shift state as the program's key handlers see them
// (13 Enter, 27 Escape, 65 'A', 112 F1...).
#include <Qt>

namespace controls {

constexpr int vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyEscape = 27, vbKeySpace = 32,
              vbKeyPageUp = 33, vbKeyPageDown = 34, vbKeyEnd = 35, vbKeyHome = 36,
              vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39, vbKeyDown = 40,
              vbKeyInsert = 45, vbKeyDelete = 46, vbKeyF1 = 112;
constexpr int vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4;

// The key code of a Qt key (Return and keypad Enter are both 13); 0 for keys
// without one.
int VbKeyCode(int qtKey);
int VbShift(Qt::KeyboardModifiers modifiers);

} // namespace controls
