#include "customers/StatusWindow.h"
#include <QFont>
#include "data/Globals.h"
#include "forms/App.h"

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

void LoadingInvoices::Form_Load() {
    Label1.setCaption(QStringLiteral("Loading Invoices for ... ") + Globals::CurrentCustName);
}

void PumpOnce() { forms::DoEvents(); }
