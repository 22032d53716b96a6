#pragma once
// What the billing statements and the past-due list read for a list of
// clients: a few grouped statements for the whole list, each giving every
// listed client's rows in the order the one-client reads give them, instead
// of several statements per client.
#include <cstdint>
#include <unordered_map>
#include <vector>
#include <QString>
#include "data/DataAccess.h"
#include "vb/Currency.h"
#include "vb/Date.h"
#include "vb/Variant.h"

class Invoice;

class ClientSet : public DataAccess {
public:
    ClientSet();

    struct LastPayment {
        vb::Variant date, amount;
    };
    // Each listed client's newest payment (by date, then number), as
    // Client::rsLastPayment's first row; a client never paid is absent.
    bool LastPayments(const std::vector<int32_t>& clients, std::unordered_map<int32_t, LastPayment>& out);

    // Each listed client's oldest dated invoice; a client without one is absent.
    bool OldestInvoiceDates(const std::vector<int32_t>& clients, std::unordered_map<int32_t, vb::Variant>& out);

    struct Charge {
        vb::Variant date, description;
        vb::Currency total;
    };
    struct Payment {
        vb::Variant date, amount;
    };
    struct Statement {
        vb::Currency startBal;          // as Client::ClientBal gives it on the start date
        std::vector<Charge> charges;    // invoices dated after it, newest number first
        std::vector<Payment> payments;  // payments dated after it, by date, then number
    };
    // Every listed client's statement from since; totals by invoice's rule.
    bool Statements(const std::vector<int32_t>& clients, const vb::Date& since, Invoice& invoice,
                    std::unordered_map<int32_t, Statement>& out);

private:
    // "(1001,1002)": the listed numbers as an IN list.
    static QString InList(const std::vector<int32_t>& clients);
};
