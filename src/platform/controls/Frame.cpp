#include "controls/Frame.h"

namespace controls {

Frame::Frame(QWidget* parent) : QGroupBox(parent), Control(this) { setFocusPolicy(Qt::NoFocus); }

Frame::Frame(const QString& caption, QWidget* parent) : Frame(parent) { setTitle(caption); }

} // namespace controls
