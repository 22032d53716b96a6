#pragma once
// The tab control with its pages ("Client", "Billing", "Shipping"): controls
// are placed on Page(i). It opens at the first tab. Qt skips controls on
// hidden pages when tabbing, so the window sets its keyboard order itself
// (forms::Form::setKeyboardOrder).
#include <functional>
#include <QTabWidget>
#include "controls/Control.h"

namespace controls {

class TabStrip : public QTabWidget, public Control {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    // A user's change of tab (and a code set of Tab to another tab).
    std::function<void()> Click;

    // Adds a tab with its page and returns the page.
    QWidget* AddTab(const QString& caption);
    QWidget* Page(int index) const;           // 0-based; raises 380 outside
    int Tabs() const { return count(); }
    QString TabCaption(int index) const { return tabText(index); }
    void setTabCaption(int index, const QString& caption) { setTabText(index, caption); }
    // The current tab, 0-based.
    int Tab() const { return currentIndex(); }
    void setTab(int index);

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool shown_ = false;
    int quiet_ = 0;
};

} // namespace controls
