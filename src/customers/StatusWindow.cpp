#include "customers/StatusWindow.h"
#include <algorithm>
#include <QFont>
#include <QFontMetrics>
#include "data/Globals.h"
#include "forms/App.h"
#include "forms/Twips.h"

StatusWindow::StatusWindow(const QString& caption, const QString& label1, const QString& label2, bool bold) {
    setCaption(caption);
    setFixedBorder();
    setClientSize(4200, label2.isEmpty() ? 900 : 1300);
    Label1.setCaption(label1);
    Label1.Move(240, 300, 3720, 300);
    if (label2.isEmpty()) {
        Label2.hide();
    } else {
        Label2.setCaption(label2);
        Label2.Move(240, 720, 3720, 300);
    }
    if (bold) {
        QFont f = Label1.font();
        f.setBold(true);
        Label1.setFont(f);
    }
    CenterOnScreen();
}

void StatusWindow::FitLabel1() {
    // A long client name widens the notice rather than being cut off.
    const int needed = forms::PixelsToTwipsX(QFontMetrics(Label1.font()).horizontalAdvance(Label1.Caption()) + 4);
    if (needed <= Label1.Width()) return;
    Label1.setWidth(needed);
    setClientSize(Label1.Left() * 2 + needed, ScaleHeight());
    CenterOnScreen();
}

void LoadingInvoices::Form_Load() {
    Label1.setCaption(QStringLiteral("Loading Invoices for ... ") + Globals::CurrentCustName);
    FitLabel1();
}

void PumpOnce() { forms::DoEvents(); }
