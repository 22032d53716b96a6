#include "controls/Menu.h"
#include <exception>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include "controls/Control.h"

namespace controls {

MenuItem::MenuItem(QMenuBar* bar, const QString& caption) : QObject(bar), owner_(bar) {
    menu_ = new QMenu(caption, bar);
    action_ = bar->addMenu(menu_);
    connect(action_, &QAction::triggered, this, [this] { Control::fire(Click); });
}

MenuItem::MenuItem(MenuItem& parent, const QString& caption) : QObject(&parent), owner_(parent.owner_) {
    action_ = parent.menu()->addAction(caption);
    connect(action_, &QAction::triggered, this, [this] { Control::fire(Click); });
}

MenuItem::~MenuItem() = default;

void MenuItem::AddSeparator(MenuItem& menu) { menu.menu()->addSeparator(); }

QMenu* MenuItem::menu() {
    if (!menu_) {
        // An item with items of its own is a submenu.
        menu_ = new QMenu(action_->text(), owner_);
        action_->setMenu(menu_);
    }
    return menu_;
}

QString MenuItem::Caption() const { return action_ ? action_->text() : QString(); }
void MenuItem::setCaption(const QString& caption) {
    if (action_) action_->setText(caption);
    if (menu_) menu_->setTitle(caption);
}
bool MenuItem::Enabled() const { return action_ && action_->isEnabled(); }
void MenuItem::setEnabled(bool enabled) {
    if (action_) action_->setEnabled(enabled);
}
bool MenuItem::Visible() const { return action_ && action_->isVisible(); }
void MenuItem::setVisible(bool visible) {
    if (action_) action_->setVisible(visible);
}
bool MenuItem::Checked() const { return action_ && action_->isChecked(); }
void MenuItem::setChecked(bool checked) {
    if (!action_) return;
    action_->setCheckable(true);
    action_->setChecked(checked);
}

void MenuItem::Choose() {
    if (action_ && action_->isEnabled() && !action_->menu()) action_->trigger();
}

} // namespace controls
