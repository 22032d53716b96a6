#include "customers/CustSearch.h"
#include "ado/Recordset.h"
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {
QString label(const char* proc) { return QStringLiteral("CustSearch.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }
}

CustSearch::CustSearch() {
    setCaption(QStringLiteral("Select Client"));
    setFixedBorder();
    setClientSize(2880, 3900);
    CustList.Move(120, 120, 2640, 3030);
    btnOK.setCaption(QStringLiteral("&Ok"));
    btnOK.Move(120, 3300, 1230, 435);
    btnCancel.setCaption(QStringLiteral("&Cancel"));
    btnCancel.Move(1530, 3300, 1230, 435);
    forms::Form::setKeyboardOrder({&CustList, &btnOK, &btnCancel});

    CustList.setEditable(false);
    btnOK.setDefault(true);
    btnCancel.setCancel(true);
    btnOK.Click = [this] { btnOK_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
    CustList.DblClick = [this] { CustList_DblClick(); };
    CustList.KeyDown = [this](int& code, int shift) { CustList_KeyDown(code, shift); };
}

void CustSearch::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        CustList.Clear();
        CustList.setCols(2);
        CustList.setRows(1);
        CustList.setFormatString(QStringLiteral("Name|custnum"));
        CustList.setColWidth(0, 2000);
        CustList.setColWidth(1, 0);
        CustList.setTopRow(1);
        ado::RecordsetPtr clients = Globals::rsClientList;
        if (!clients) vb::Raise(vb::err::ObjectNotSet);
        const QChar tab = QLatin1Char('\t');
        const controls::FlexGrid::RedrawOff redrawOff(CustList);
        clients->MoveFirst();
        while (!clients->Eof()) {
            CustList.AddItem(clients->Fields("lname").Value().str() + QStringLiteral(", ") +
                             clients->Fields("fname").Value().str() + tab + clients->Fields("CustNum").Value().str());
            clients->MoveNext();
        }
    });
}

void CustSearch::btnOK_Click() {
    vb::Trap(label("btnOK_Click"), [&] {
        const int r = CustList.Row();
        if (r == 0) return;
        // A register closed meanwhile is not brought back by writing into it.
        if (!forms::Form::isLoaded<Receipts>()) {
            forms::Form::Unload(this);
            return;
        }
        Globals::CurrentCustNum = vb::CLng(vb::Variant(CustList.TextMatrix(r, 1)));
        Globals::CurrentCustName = CustList.TextMatrix(r, 0);
        controls::FlexGrid& target = forms::Form::get<Receipts>().PaymentList;
        target.setTextMatrix(Globals::PickRow, Receipts::colCustNum, QString::number(Globals::CurrentCustNum));
        target.setTextMatrix(Globals::PickRow, Receipts::colClient, Globals::CurrentCustName);
        Globals::ClientPicked = true;
        forms::Form::Unload(this);
    });
}

void CustSearch::btnCancel_Click() { forms::Form::Unload(this); }

void CustSearch::CustList_DblClick() { btnOK_Click(); }

void CustSearch::CustList_KeyDown(int& KeyCode, int /*Shift*/) {
    if (KeyCode == 13) {
        KeyCode = 0;
        btnOK_Click();
    }
}
