#pragma once
// A captioned container; option buttons inside it are exclusive among
// themselves. Declare a frame before the controls placed in it.
#include <QGroupBox>
#include "controls/Control.h"

namespace controls {

class Frame : public QGroupBox, public Control {
    Q_OBJECT
public:
    explicit Frame(QWidget* parent = nullptr);
    Frame(const QString& caption, QWidget* parent);

    QString Caption() const { return title(); }
    void setCaption(const QString& caption) { setTitle(caption); }
};

} // namespace controls
