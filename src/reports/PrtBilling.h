#pragma once
// The billing statements preview: one statement per client chosen in the
// statement selection window (the highlighted client, or every client it
// lists), each on its own page: the balance at the start date, then the
// client's invoices and payments received after it with the balance carried
// forward. It reads the selection window while it loads, so that window must
// still be open, and leaves CurrentCustNum on the last client laid out.
#include <cstdint>
#include "data/ClientSet.h"
#include "reports/ReportFrame.h"
#include "vb/Date.h"

class cSetup;

class PrtBilling : public reports::CustomerReportFrame {
    Q_OBJECT
public:
    PrtBilling();

    void Form_Load() override;

    // The days box as the statements read it: the number its text begins
    // with, rounded half to even to a 16-bit whole number (raises 6 outside).
    static int16_t DaysBack(const QString& text);

private:
    // One statement for client CurrentCustNum, from its rows read from since.
    void BuildStatement(const cSetup& company, const vb::Date& since, const ClientSet::Statement& rows);
};
