#pragma once
// The past-due list: the clients of ClientBals whose last payment received is
// older than AgingDays days (30, 60 or 90), oldest last payment first, with
// that payment's date and amount and the grand total of their balances. A
// client who has never paid is listed, first and without a payment date, once
// their oldest invoice is older than the days. The day count is read once,
// while the window loads.
#include <cstdint>
#include "ado/Recordset.h"
#include "vb/Variant.h"
#include "reports/ReportFrame.h"

class Prt30Days : public reports::CustomerReportFrame {
    Q_OBJECT
public:
    Prt30Days();

    void Form_Load() override;

    // The aged list's fields, open and empty, belonging to no connection.
    static ado::RecordsetPtr NewAgedList();
};
