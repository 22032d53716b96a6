#include "controls/Control.h"
#include <exception>
#include "forms/Form.h"
#include "forms/Twips.h"
#include "vb/ErrorTrap.h"

namespace controls {

int Control::Left() const { return forms::PixelsToTwipsX(targetWidget()->x()); }
namespace {
// Twips coordinates on a window start below its menu bar.
int originY(const QWidget* w) { return forms::Form::clientOriginY(w->parentWidget()); }
}

int Control::Top() const { return forms::PixelsToTwipsY(targetWidget()->y() - originY(targetWidget())); }
int Control::Width() const { return forms::PixelsToTwipsX(targetWidget()->width()); }
int Control::Height() const { return forms::PixelsToTwipsY(targetWidget()->height()); }

void Control::setLeft(int twips) { targetWidget()->move(forms::TwipsToPixelsX(twips), targetWidget()->y()); }
void Control::setTop(int twips) {
    targetWidget()->move(targetWidget()->x(), forms::TwipsToPixelsY(twips) + originY(targetWidget()));
}
void Control::setWidth(int twips) {
    targetWidget()->resize(std::max(0, forms::TwipsToPixelsX(twips)), targetWidget()->height());
}
void Control::setHeight(int twips) {
    targetWidget()->resize(targetWidget()->width(), std::max(0, forms::TwipsToPixelsY(twips)));
}

void Control::Move(int left, int top, int width, int height) {
    QWidget* w = targetWidget();
    const int pw = width < 0 ? w->width() : forms::TwipsToPixelsX(width);
    const int ph = height < 0 ? w->height() : forms::TwipsToPixelsY(height);
    w->setGeometry(forms::TwipsToPixelsX(left), forms::TwipsToPixelsY(top) + originY(w), pw, ph);
}

void Control::reportEscapedError() {
    // The handler had no trap of its own: show the one error report.
    vb::ShowErrorReport(QString(), vb::ToRuntimeError(std::current_exception()));
}

} // namespace controls
