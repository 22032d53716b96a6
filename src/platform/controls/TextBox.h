#pragma once
// The text box: Text, Change (typing, paste and code writes that change the
// text; none for the same text), Locked, MaxLength, MultiLine, KeyPress.
// Text the user types or pastes holding a character no text column can
// keep (NUL, half of a surrogate pair) is refused with a message naming the
// box by the label beside it; the box keeps what it held.
#include <functional>
#include <QString>
#include <QWidget>
#include "controls/Control.h"

class QLineEdit;
class QPlainTextEdit;

namespace controls {

class TextBox : public QWidget, public Control {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    std::function<void()> Change;
    // A typed character before the box takes it; set KeyAscii to 0 to drop it.
    std::function<void(int& KeyAscii)> KeyPress;
    std::function<void(int KeyCode, int Shift)> KeyDown;

    QString Text() const;
    void setText(const QString& text);

    bool Locked() const { return locked_; }
    void setLocked(bool locked);
    // 0: no limit.
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length);
    bool MultiLine() const { return multi_ != nullptr; }
    // Set while the window is built: a multi-line box wraps and takes Enter.
    void setMultiLine(bool multiLine);
    // 0 left, 1 right, 2 centre.
    void setAlignment(int alignment);

    int SelStart() const;
    int SelLength() const;
    void setSelStart(int start);
    void setSelLength(int length);
    void SelectAll();

    // The editor inside (for what the program does not name).
    QWidget* editor() const;
    QLineEdit* lineEdit() const { return line_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void textMayHaveChanged();
    QString boxName() const;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    QString last_;
    bool codeWrite_ = false;
    bool locked_ = false;
    int maxLength_ = 0;
};

} // namespace controls
