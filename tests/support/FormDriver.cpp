#include "support/FormDriver.h"
#include <memory>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include "controls/ComboBox.h"
#include "controls/MaskedEdit.h"
#include "controls/Menu.h"
#include "controls/TextBox.h"
#include "forms/App.h"

namespace testsupport {

void focus(forms::FocusTarget& control) { forms::SetFocusTo(control); }

void click(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
}

void click(controls::MenuItem& item) { item.Choose(); }

void typeKeys(QWidget* w, const QString& text, const std::function<QWidget*()>& target) {
    for (const QChar ch : text) {
        QWidget* to = target ? target() : w;
        if (!to) to = w;
        // Qt names a character's key by its capital; the text is what it types.
        const auto key = Qt::Key(ch.toUpper().unicode());
        // No Shift for capitals: QTest would press the Shift key itself first.
        const Qt::KeyboardModifiers mods = Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Press, to, key, QString(ch), mods);
        if (target) to = target() ? target() : w;
        QTest::sendKeyEvent(QTest::Release, to, key, QString(ch), mods);
    }
}

void type(controls::TextBox& box, const QString& text) { typeKeys(box.editor(), text); }

void type(controls::ComboBox& box, const QString& text) {
    if (box.lineEdit()) typeKeys(box.lineEdit(), text);
    else typeKeys(&box, text);
}

void type(controls::MaskedEdit& box, const QString& text) { typeKeys(&box, text); }

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m) { QTest::keyClick(w, k, m); }

void pump() {
    forms::DoEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ModalAnswer::ModalAnswer(std::function<void(forms::Form&)> hook)
    : answered_(std::make_shared<bool>(false)), cancelled_(std::make_shared<bool>(false)) {
    auto answered = answered_;
    auto cancelled = cancelled_;
    // Polls until a modal loop runs: the window's load may pump events first.
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, hook, answered, cancelled] {
        if (*cancelled) {
            timer->deleteLater();
            return;
        }
        forms::Form* f = forms::Form::activeModal();
        if (!f) return;
        timer->stop();
        timer->deleteLater();
        *answered = true;
        QPointer<forms::Form> modal(f);
        hook(*f);
        if (modal && modal->IsLoaded() && modal->IsModal() && modal->isVisible()) {
            ADD_FAILURE() << "The modal window is still open after its answer";
            forms::Form::Unload(modal.data());
        }
    });
    timer->start();
}

ModalAnswer::~ModalAnswer() {
    *cancelled_ = true;
    if (!*answered_) ADD_FAILURE() << "No modal window was shown";
}

} // namespace testsupport
