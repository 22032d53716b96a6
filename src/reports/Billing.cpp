#include "reports/Billing.h"
#include <unordered_map>
#include <vector>
#include <QStyle>
#include "data/Client.h"
#include "data/ClientSet.h"
#include "data/Globals.h"
#include "reports/PrtBilling.h"
#include "reports/ReportFrame.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {
constexpr int kFrameWidth = 6360;
}

Billing::Billing() {
    setCaption(QStringLiteral("Select criteria for printing billing statements"));
    setClientSize(kFrameWidth + 240, 5400);
    setFixedBorder();

    Frame1.setCaption(QStringLiteral("Print"));
    Frame1.Move(120, 60, kFrameWidth, 1080);
    OptClient.setCaption(QStringLiteral("Selected Client"));
    OptClient.Move(120, 300, 1900, 300);
    OptAll.setCaption(QStringLiteral("All Clients with Balance"));
    OptAll.Move(2100, 300, 2800, 300);
    OptAll.setValue(true);
    Label1.setCaption(QStringLiteral("Include transactions of previous"));
    Label1.Move(120, 700, 3300, 280);
    txtDays.setText(QStringLiteral("30"));
    txtDays.Move(3480, 660, 600, 330);
    Label2.setCaption(QStringLiteral("days."));
    Label2.Move(4170, 700, 800, 280);
    btnPrint.setPicture(controls::pictures::Print);
    btnPrint.setToolTipText(QStringLiteral("Print this invoice"));
    btnPrint.Move(kFrameWidth - 720, 330, 600, 600);
    btnPrint.Click = [this] { btnPrint_Click(); };

    Label3.setCaption(QStringLiteral("Clients with Balance Due"));
    Label3.Move(120, 1220, 3000, 280);
    CustList2.Move(120, 1500, kFrameWidth, 3780);
    CustList2.setEditable(false);
}

void Billing::Form_Load() {
    vb::Trap(QStringLiteral("Billing.Form_Load -"), [this] {
        CustList2.Clear();
        CustList2.setCols(5);
        CustList2.setRows(1);
        CustList2.setFormatString(QStringLiteral("CustNum|Name|>Balance|^Last Pmt Date|>Last Pmt Amt"));
        CustList2.setColWidth(0, 0);
        CustList2.setColWidth(1, 1800);
        CustList2.setColWidth(2, 1000);
        CustList2.setColWidth(3, 1500);
        CustList2.setColWidth(4, 1500);
        CustList2.setColDataType(2, controls::flexDTCurrency);
        CustList2.setColDataType(4, controls::flexDTCurrency);

        const std::shared_ptr<Client> client = Globals::SharedClient;
        if (!client) vb::Raise(vb::err::ObjectNotSet);
        const ConnectionScope open = client->OpenScope();

        const ado::RecordsetPtr rs = client->ClientBals();
        // The member has reported its own failure; the list stays empty.
        if (!rs) return;
        // Every listed client's last payment in one statement.
        std::vector<int32_t> owing;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) owing.push_back(vb::CLng(rs->Fields("CustNum").Value()));
        ClientSet set;
        set.InitAccess(Globals::DataFilePath());
        std::unordered_map<int32_t, ClientSet::LastPayment> lastPayments;
        {
            const ConnectionScope setOpened = set.OpenScope();
            set.LastPayments(owing, lastPayments);
        }
        const controls::FlexGrid::RedrawOff redrawOff(CustList2);
        CustList2.setRows(int(owing.size()) + 1);
        int r = 0;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            const int32_t custNum = vb::CLng(rs->Fields("CustNum").Value());
            QString lastDate;
            vb::Currency lastAmount;
            const auto pay = lastPayments.find(custNum);
            if (pay != lastPayments.end()) {
                lastDate = reports::DocText(pay->second.date);
                const vb::Variant amount = pay->second.amount;
                if (!amount.isNull() && !amount.isEmpty()) lastAmount = vb::CCur(amount);
            }
            const vb::Variant bal = rs->Fields("Bal").Value();
            // Cell by cell, so a tab inside a name cannot shift the columns.
            ++r;
            CustList2.setTextMatrix(r, 0, QString::number(custNum));
            CustList2.setTextMatrix(r, 1, reports::DocText(rs->Fields("Fullname").Value()));
            CustList2.setTextMatrix(r, 2, vb::FormatCurrency(bal.isNull() || bal.isEmpty() ? vb::Currency() : vb::CCur(bal)));
            CustList2.setTextMatrix(r, 3, lastDate);
            CustList2.setTextMatrix(r, 4, vb::FormatCurrency(lastAmount));
        }
    });
}

void Billing::btnPrint_Click() {
    vb::Trap(QStringLiteral("Billing.btnPrint_Click -"), [this] {
        // One client's statement needs a client: told, and no empty preview.
        if (OptClient.Value() && (CustList2.Rows() <= 1 || CustList2.Row() < 1)) {
            vb::MsgBox(QStringLiteral("Select a client first."), vb::vbOKOnly);
            return;
        }
        // The statements are laid out from this window while it still stands,
        // anew for this choice when a preview of an earlier one is open.
        forms::Form::unload<PrtBilling>();
        forms::Form::get<PrtBilling>().Show();
        forms::Form::Unload(this);
    });
}
