// The settings-file reader and the loaders that refill the shared lists and
// the main window's client grid.
#include <QString>
#include "customers/Customer.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "data/cSetup.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "fso/FileSystem.h"
#include "profile/PrivateProfile.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"

namespace Globals {

namespace {
void closeIfOpen(const ado::RecordsetPtr& r) {
    if (r && r->State() == ado::adStateOpen) r->Close();
}
}

// The longest path the file system takes: a folder remembered is read back whole.
constexpr int kLongestValue = 4096;

QString ReadIniString(const QString& Section, const QString& Key, const QString& Default, const QString& FileName) {
    int count = 0;
    QString value = profile::GetPrivateProfileString(Section, Key, Default, kLongestValue + 1, FileName, &count);
    return count > 0 ? value.left(count) : QString();
}

bool WriteIniString(const QString& Section, const QString& Key, const QString& Value, const QString& FileName) {
    return profile::WritePrivateProfileString(Section, Key, Value, FileName);
}

QString SingleText(double value) {
    // Single precision keeps about 7 significant digits; geometry is whole twips.
    const float f = static_cast<float>(value);
    return QString::number(static_cast<double>(f), 'g', 7);
}

WindowGeometry ReadWindowGeometry(const QString& Section, const QString& FileName) {
    auto read = [&](const char* key, const char* def) {
        return vb::Val(ReadIniString(Section, QString::fromLatin1(key), QString::fromLatin1(def), FileName));
    };
    // Read in this order, as the windows always have.
    const double left = read("LEFT", "100");
    const double top = read("TOP", "100");
    const double width = read("WIDTH", "8000");
    const double height = read("HEIGHT", "6000");
    return {left, top, width, height};
}

void WriteWindowGeometry(const QString& Section, int Left, int Top, int Width, int Height, const QString& FileName) {
    WriteIniString(Section, QStringLiteral("LEFT"), SingleText(Left), FileName);
    WriteIniString(Section, QStringLiteral("TOP"), SingleText(Top), FileName);
    WriteIniString(Section, QStringLiteral("WIDTH"), SingleText(Width), FileName);
    WriteIniString(Section, QStringLiteral("HEIGHT"), SingleText(Height), FileName);
}

void RefreshCustList() {
    vb::Trap(QStringLiteral("Globals.RefreshCustList -"), [] {
        closeIfOpen(rsClients);
        SharedClient.reset();
        rsClients.reset();

        auto& grid = forms::Form::get<Customer>().CustList2;
        grid.Clear();
        grid.setCols(7);
        grid.setFormatString(QStringLiteral("||Name|Home Phone|Work Phone|Cel Phone|Email"));
        grid.setColWidth(0, 0);
        grid.setColWidth(1, 0);
        grid.setColWidth(2, 2200);
        for (int c = 3; c <= 6; ++c) grid.setColWidth(c, 1200);

        auto client = std::make_shared<Client>();
        SharedClient = client;
        rsClients = std::make_shared<ado::Recordset>();
        grid.setRows(1);

        client->InitAccess(DataFilePath());
        {
            const ConnectionScope opened = client->OpenScope();
            rsClients = client->GetAllClients();
        }
        const auto list = rsClients;
        if (!list) vb::Raise(vb::err::ObjectNotSet);
        ClientCount = list->RecordCount();

        rsClientList = list->Clone();

        {
            const controls::FlexGrid::RedrawOff redrawOff(grid);
            const QChar tab(u'\t');
            if (!list->Eof()) list->MoveFirst();
            auto fCust = list->Fields("custnum"), fL = list->Fields("lname"), fF = list->Fields("fname"),
                 fH = list->Fields("homephone"), fW = list->Fields("workphone"), fC = list->Fields("celphone"),
                 fE = list->Fields("email");
            while (!list->Eof()) {
                grid.AddItem(fCust.Value().str() + tab + QString() + tab + fL.Value().str() + QStringLiteral(", ") +
                             fF.Value().str() + tab + fH.Value().str() + tab + fW.Value().str() + tab +
                             fC.Value().str() + tab + fE.Value().str());
                list->MoveNext();
            }
        }
        list->Close();
        // The highlighted row and the current client agree again.
        forms::Form::get<Customer>().SyncCurrentClient();
    });
}

void GetInventory(int32_t& CatNum, int32_t& ItemNum) {
    vb::Trap(QStringLiteral("Globals.GetInventory -"), [&] {
        closeIfOpen(rsInvItems);
        closeIfOpen(rsInvCats);
        SharedInventory.reset();
        rsInvItems = std::make_shared<ado::Recordset>();
        rsInvCats = std::make_shared<ado::Recordset>();
        auto inv = std::make_shared<Inventory>();
        SharedInventory = inv;

        inv->InitAccess(DataFilePath());
        const ConnectionScope opened = inv->OpenScope();
        if (DeleteItemPending) {
            inv->DeleteItem(ItemNum);
            DeleteItemPending = false;
        }
        rsInvItems = inv->rsInventory(CatNum);
        rsInvCats = inv->rsCategories();
    });
}

namespace {
// The name and rate every document and tax use, from the stored record. A
// private instance, so the shared one keeps whatever a window holds in it.
void ReadCompany() {
    cSetup company;
    company.InitAccess(DataFilePath());
    company.OpenCn();
    if (company.GetCompanyInfo()) {
        CoName = company.Name;
        StateTaxRate = company.Statetaxrate;
    }
    company.CloseCn();
}
RecordEvents::Subscription companyWatch;
} // namespace

void SetupInit() {
    if (!companyWatch)
        companyWatch = RecordEvents::Subscribe([](const RecordEvents::Event& e) {
            if (e.what == RecordEvents::CompanySaved) vb::IgnoreErrors(ReadCompany);
        });
    vb::Trap(QStringLiteral("Globals.SetupInit -"), [] {
        closeIfOpen(rsPayTypes);
        closeIfOpen(rsExpTypes);
        closeIfOpen(rsShipping);
        SharedSetup.reset();
        auto setup = std::make_shared<cSetup>();
        SharedSetup = setup;

        setup->InitAccess(DataFilePath());
        const ConnectionScope opened = setup->OpenScope();
        if (setup->GetCompanyInfo()) CoName = setup->Name;
        StateTaxRate = setup->Statetaxrate;
        rsPayTypes = setup->rsPaymentTypes();
        rsExpTypes = setup->rsExpenseTypes();
        rsShipping = setup->rsShippingTypes();
    });
}

} // namespace Globals
