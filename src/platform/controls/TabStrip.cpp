#include "controls/TabStrip.h"
#include "vb/RuntimeError.h"

namespace controls {

TabStrip::TabStrip(QWidget* parent) : QTabWidget(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QTabWidget::currentChanged, this, [this] {
        if (!quiet_) fire(Click);
    });
}

QWidget* TabStrip::AddTab(const QString& caption) {
    auto* page = new QWidget(this);
    ++quiet_;
    addTab(page, caption);
    --quiet_;
    return page;
}

QWidget* TabStrip::Page(int index) const {
    if (index < 0 || index >= count()) throw vb::RuntimeError(380, QStringLiteral("Invalid property value"));
    return widget(index);
}

void TabStrip::setTab(int index) {
    if (index < 0 || index >= count()) throw vb::RuntimeError(380, QStringLiteral("Invalid property value"));
    setCurrentIndex(index);
}

void TabStrip::showEvent(QShowEvent* e) {
    // The window opens on the first tab, whichever was current when built.
    if (!shown_ && count() > 0) {
        shown_ = true;
        ++quiet_;
        setCurrentIndex(0);
        --quiet_;
    }
    QTabWidget::showEvent(e);
}

} // namespace controls
