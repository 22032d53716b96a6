#pragma once
// The combo box, editable (a text box with a list) or a drop-down list.
//   Change: the text changed, by typing, by code or by a pick from the list.
//   Click:  a user's pick from the list, and a code set of ListIndex; not a
//           code set of Text (so code can put a text in without acting on it).
#include <functional>
#include <QComboBox>
#include "controls/Control.h"

namespace controls {

class ComboBox : public QComboBox, public Control {
    Q_OBJECT
public:
    enum Style { DropDownCombo = 0, DropDownList = 2 };
    explicit ComboBox(QWidget* parent = nullptr, Style style = DropDownCombo);

    std::function<void()> Change;
    std::function<void()> Click;

    Style ComboStyle() const { return style_; }

    // Empties the list; an editable box keeps its text.
    void Clear();
    // Appends, or inserts before index.
    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);            // raises 381 for a bad index
    int ListCount() const { return count(); }
    QString List(int index) const;         // "" outside the list
    long ItemData(int index) const;
    void setItemData(int index, long data);

    // -1: no item is current (also when the text typed is none of them).
    int ListIndex() const;
    void setListIndex(int index);          // raises 380 for a bad index

    QString Text() const { return currentText(); }
    // Editable: any text (the matching item becomes current). Drop-down
    // list: an item's text, else error 383.
    void setText(const QString& text);

    // What a user's pick of an item from the list does (tests use it: the
    // popup list is not reliable offscreen).
    void Pick(int index);

private:
    void textMayHaveChanged();
    Style style_;
    QString last_;
    int quiet_ = 0;   // code is changing the list: no events
};

} // namespace controls
