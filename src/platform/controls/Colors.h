#pragma once
// Colours as the program writes them: a long holding red in the low byte,
// then green, then blue (255 is pure red, 0 black).
#include <QColor>

namespace controls {

inline QColor fromVbColor(long c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
inline long toVbColor(const QColor& c) {
    return long(c.red()) | (long(c.green()) << 8) | (long(c.blue()) << 16);
}

constexpr long vbBlack = 0x000000;
constexpr long vbRed = 0x0000FF;
constexpr long vbWhite = 0xFFFFFF;

} // namespace controls
