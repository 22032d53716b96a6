#pragma once
// The masked edit box, as the program uses it for dates: mask "##/##/##",
// digits only, "/" fixed. Text holds the literals and "_" for every empty
// position ("12/__/__"); it never completes a date by itself, so an
// incomplete or impossible date fails the conversion.
#include <functional>
#include <QLineEdit>
#include "controls/Control.h"
#include "vb/Date.h"

namespace controls {

class MaskedEdit : public QLineEdit, public Control {
    Q_OBJECT
public:
    explicit MaskedEdit(QWidget* parent = nullptr, const QString& mask = QStringLiteral("##/##/##"));

    std::function<void()> Change;

    QString Mask() const { return mask_; }
    // "#" a digit; any other character stands as written.
    void setMask(const QString& mask);

    // The literals with "_" for empty positions.
    QString Text() const;
    // Fills the positions from the text (digits into "#", literals skipped);
    // "" empties the box.
    void setText(const QString& text);
    // The text without literals and blanks: "" when nothing is typed.
    QString ClipText() const;

    // Reads "mm/dd/yy" whatever the locale, the year in the century around
    // today (vb::FullYear). Raises 13 (type mismatch) when a
    // position is empty or the date does not exist.
    vb::Date DateValue() const;
    // Shows d as "mm/dd/yy" whatever the locale, as DateValue reads it back.
    void setDateValue(const vb::Date& d);
    static bool ParseMdy(const QString& text, vb::Date& out);

private:
    void textMayHaveChanged();
    QString mask_;
    QString last_;
};

} // namespace controls
