#pragma once
// The short-lived notices shown while slow work runs. They have no behaviour
// of their own: whoever shows one pumps events once so it paints, and unloads
// it when the work is done.
#include <QString>
#include "controls/Label.h"
#include "forms/Form.h"

class StatusWindow : public forms::Form {
    Q_OBJECT
public:
    controls::Label Label1{this};
    controls::Label Label2{this};

protected:
    StatusWindow(const QString& caption, const QString& label1, const QString& label2 = QString(),
                 bool bold = false);
    // Widens Label1, and the window with it, when its text needs more room.
    void FitLabel1();
};

class GettingReceipts : public StatusWindow {
    Q_OBJECT
public:
    GettingReceipts() : StatusWindow(QStringLiteral("Getting Receipts"), QStringLiteral("Getting Client Receipts...")) {}
};

class GettingInvoices : public StatusWindow {
    Q_OBJECT
public:
    GettingInvoices() : StatusWindow(QStringLiteral("Getting Invoices"), QStringLiteral("Getting Client Invoices...")) {}
};

class GettingInventory : public StatusWindow {
    Q_OBJECT
public:
    GettingInventory() : StatusWindow(QStringLiteral("Getting Inventory"), QStringLiteral("Getting Inventory...")) {}
};

class CustomerSaved : public StatusWindow {
    Q_OBJECT
public:
    CustomerSaved()
        : StatusWindow(QStringLiteral("Save Client"), QStringLiteral("Saving Client..."),
                       QStringLiteral("Updating Client List...")) {}
};

class LoadingInvoices : public StatusWindow {
    Q_OBJECT
public:
    LoadingInvoices() : StatusWindow(QStringLiteral("Loading Invoices"), QStringLiteral("Loading Invoices...")) {}
    void Form_Load() override;
};

class LoadingClients : public StatusWindow {
    Q_OBJECT
public:
    LoadingClients() : StatusWindow(QStringLiteral("Loading Clients"), QStringLiteral("Loading Client Data..."), QString(), true) {}
};

class LoadingBilling : public StatusWindow {
    Q_OBJECT
public:
    LoadingBilling() : StatusWindow(QStringLiteral("Loading Billing"), QStringLiteral("Loading Billing Data..."), QString(), true) {}
};

// Shows a notice modeless (owned by owner when given) and pumps once so it
// paints; unloads it when the scope ends, on every path.
template <class T>
class StatusNotice {
public:
    explicit StatusNotice(forms::Form* owner = nullptr);
    ~StatusNotice() { forms::Form::unload<T>(); }
    StatusNotice(const StatusNotice&) = delete;
    StatusNotice& operator=(const StatusNotice&) = delete;
};

void PumpOnce();

template <class T>
StatusNotice<T>::StatusNotice(forms::Form* owner) {
    forms::Form::get<T>().Show(false, owner);
    PumpOnce();
}
