#include "books/VendorSearch.h"
#include <memory>
#include "ado/Recordset.h"
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "data/Vendor.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {
QString label(const char* proc) {
    return QStringLiteral("VendorSearch.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}
}

VendorSearch::VendorSearch() {
    setCaption(QStringLiteral("Vendor Listing"));
    setFixedBorder();
    setClientSize(3840, 3900);
    VendorList.Move(120, 120, 3600, 3030);
    btnOK.setCaption(QStringLiteral("&Ok"));
    btnOK.Move(120, 3300, 1710, 435);
    btnCancel.setCaption(QStringLiteral("&Cancel"));
    btnCancel.Move(2010, 3300, 1710, 435);
    forms::Form::setKeyboardOrder({&VendorList, &btnOK, &btnCancel});

    VendorList.setEditable(false);
    btnOK.setDefault(true);
    btnCancel.setCancel(true);
    btnOK.Click = [this] { btnOK_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
    VendorList.DblClick = [this] { VendorList_DblClick(); };
    VendorList.KeyDown = [this](int& code, int shift) { VendorList_KeyDown(code, shift); };
}

void VendorSearch::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        VendorList.Clear();
        VendorList.setCols(2);
        VendorList.setRows(1);
        VendorList.setFormatString(QStringLiteral("Name|vendornum"));
        VendorList.setColWidth(0, 2200);
        VendorList.setColWidth(1, 500);
        auto vendor = Globals::SharedVendor;
        if (!vendor) vb::Raise(vb::err::ObjectNotSet);
        // A list of its own: the shared vendor list is what the register and
        // its report read, and stays as it is.
        vendor->OpenCn();
        ado::RecordsetPtr vendors = vendor->GetAllVendors();
        vendor->CloseCn();
        if (!vendors) return;   // the data layer has reported why
        const QChar tab = QLatin1Char('\t');
        vendors->MoveFirst();
        while (!vendors->Eof()) {
            VendorList.AddItem(vendors->Fields("Company").Value().str() + tab +
                               vendors->Fields("VendorNum").Value().str());
            vendors->MoveNext();
        }
        vendors->Close();
    });
}

void VendorSearch::btnOK_Click() {
    vb::Trap(label("btnOK_Click"), [&] {
        const int r = VendorList.Row();
        if (r < 1) return;
        // A payments window closed meanwhile is not brought back by writing into it.
        if (forms::Form::isLoaded<Receipts>()) {
            controls::FlexGrid& target = forms::Form::get<Receipts>().PaymentList;
            target.setTextMatrix(Globals::PickRow, Receipts::colCustNum, VendorList.TextMatrix(r, 1));
            target.setTextMatrix(Globals::PickRow, Receipts::colClient, VendorList.TextMatrix(r, 0));
            Globals::VendorPicked = true;
        }
        forms::Form::Unload(this);
    });
}

void VendorSearch::btnCancel_Click() { forms::Form::Unload(this); }

void VendorSearch::VendorList_DblClick() { btnOK_Click(); }

void VendorSearch::VendorList_KeyDown(int& KeyCode, int /*Shift*/) {
    if (KeyCode == 13) {
        KeyCode = 0;
        btnOK_Click();
    }
}
