#include "controls/StatusBar.h"
#include <QEvent>
#include <QLabel>
#include "forms/Twips.h"
#include "vb/RuntimeError.h"

namespace controls {

Panel::Panel(QLabel* label) : label_(label) {}

QString Panel::Text() const { return label_->text(); }
void Panel::setText(const QString& text) { label_->setText(text); }

void Panel::setWidth(int twips) {
    width_ = twips < 0 ? 0 : twips;
    if (auto* bar = qobject_cast<StatusBar*>(label_->parentWidget())) bar->placePanels();
}

void Panels::Clear() {
    for (auto& p : bar_->panels_) delete p->label_;
    bar_->panels_.clear();
    bar_->placePanels();
}

Panel& Panels::Add(const QString& text) {
    auto* label = new QLabel(bar_);
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(3, 0, 3, 0);
    label->setVisible(bar_->style_ == 0);
    bar_->panels_.push_back(std::unique_ptr<Panel>(new Panel(label)));
    Panel& p = *bar_->panels_.back();
    p.setWidth(p.width_);
    p.setText(text);
    return p;
}

int Panels::Count() const { return int(bar_->panels_.size()); }

Panel& Panels::operator()(int index) const {
    if (index < 1 || index > Count()) throw vb::RuntimeError(35600, QStringLiteral("Index out of bounds"));
    return *bar_->panels_[size_t(index - 1)];
}

StatusBar::StatusBar(QWidget* parent) : QWidget(parent), Control(this) {
    setFocusPolicy(Qt::NoFocus);
    simple_ = new QLabel(this);
    simple_->setTextFormat(Qt::PlainText);
    simple_->hide();
    resize(width(), forms::TwipsToPixelsY(300));
    if (parent) parent->installEventFilter(this);
    dock();
}

StatusBar::~StatusBar() { panels_.clear(); }

void StatusBar::setStyle(int style) {
    style_ = style == 1 ? 1 : 0;
    simple_->setVisible(style_ == 1);
    for (auto& p : panels_) p->label_->setVisible(style_ == 0);
}

QString StatusBar::SimpleText() const { return simple_->text(); }
void StatusBar::setSimpleText(const QString& text) { simple_->setText(text); }

void StatusBar::dock() {
    // Along the bottom of its container, the full width.
    QWidget* p = parentWidget();
    if (!p) return;
    const int h = height() > 0 ? height() : sizeHint().height();
    setGeometry(0, p->height() - h, p->width(), h);
}

void StatusBar::placePanels() {
    const int margin = 2, gap = 2;
    const int h = height() - 2 * margin;
    simple_->setGeometry(margin, margin, width() - 2 * margin, h);
    int x = margin;
    for (auto& p : panels_) {
        const int w = forms::TwipsToPixelsX(p->width_);
        p->label_->setGeometry(x, margin, w, h);
        x += w + gap;
    }
}

void StatusBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    placePanels();
}

bool StatusBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == parentWidget() && e->type() == QEvent::Resize) dock();
    return QWidget::eventFilter(watched, e);
}

} // namespace controls
