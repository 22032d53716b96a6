#include "vb/MsgBox.h"
#include <algorithm>
#include <cstdio>
#include <vector>
#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include "vb/Focus.h"

namespace vb {

namespace {

MsgBoxHandler& handler() {
    static MsgBoxHandler h;
    return h;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonSpec> buttonsOf(int style) {
    switch (style & 7) {
    case vbOKCancel: return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel: return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default: return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int ShowMessageBox(const QString& prompt, int style, const QString& title) {
    const std::vector<ButtonSpec> specs = buttonsOf(style);
    size_t defaultIndex = static_cast<size_t>((style >> 8) & 3);
    if (defaultIndex >= specs.size()) defaultIndex = 0;

    // Without a window system there is no one to answer: take the default.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), prompt.toLocal8Bit().constData());
        return specs[defaultIndex].result;
    }

    forms::FocusSuppressor noFocusEvents;
    QMessageBox box(iconOf(style), title, QString(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    std::vector<QAbstractButton*> made;
    for (const ButtonSpec& b : specs) made.push_back(box.addButton(b.button));
    box.setDefaultButton(static_cast<QPushButton*>(made[defaultIndex]));
    // Escape means Cancel where there is one and OK on a box with only OK;
    // elsewhere Qt's own choice stands (No on a Yes/No box).
    for (size_t i = 0; i < specs.size(); ++i)
        if (specs[i].result == vbCancel || (specs.size() == 1)) box.setEscapeButton(made[i]);
    // The title is shown whole: a window manager cuts a title wider than the
    // box in the middle, and a question naming a record ("Delete Vendor ...
    // City Power?") would lose the name. Room for a bold title bar font and
    // its buttons, never wider than the screen.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        int width = box.fontMetrics().horizontalAdvance(title) * 5 / 4 + 140;
        if (const QScreen* screen = box.screen()) width = std::min(width, screen->availableGeometry().width() * 9 / 10);
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (size_t i = 0; i < specs.size(); ++i)
        if (made[i] == clicked) return specs[i].result;
    return specs.size() == 1 ? specs[0].result : vbCancel;
}

namespace {
void (*beforeAsking)() = nullptr;
} // namespace

void setBeforeAsking(void (*hook)()) { beforeAsking = hook; }

int MsgBox(const QString& prompt, int buttons, const QString& title) {
    if (beforeAsking) beforeAsking();
    const QString shown = title.isEmpty() ? QString::fromLatin1(AppTitle) : title;
    // A copy, so a handler may replace the service while it runs.
    const MsgBoxHandler h = handler();
    if (h) return h(prompt, buttons, shown);
    return ShowMessageBox(prompt, buttons, shown);
}

void setMsgBoxHandler(MsgBoxHandler h) { handler() = std::move(h); }

} // namespace vb
