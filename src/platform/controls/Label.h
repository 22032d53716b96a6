#pragma once
// The label: Caption, ForeColor / BackColor (255 red, 0 black), bold text.
#include <QLabel>
#include "controls/Control.h"

namespace controls {

class Label : public QLabel, public Control {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);
    Label(const QString& caption, QWidget* parent);

    // Shown as written: no markup, "&" kept.
    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    long ForeColor() const { return fore_; }
    void setForeColor(long color);
    long BackColor() const { return back_; }
    void setBackColor(long color);
    bool FontBold() const { return font().bold(); }
    void setFontBold(bool bold);
    // 0 left, 1 right, 2 centre.
    void setAlignment(int alignment);

private:
    long fore_ = 0;
    long back_ = -1;   // the window's own background
};

} // namespace controls
