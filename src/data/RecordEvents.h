#pragma once
// How a window learns that a record it shows was saved or deleted by another
// window, or that the current client changed. The data classes publish after
// a write has committed; a window subscribes for as long as it lives and acts
// on what concerns its own record (closes, relists, refuses a later save).
//
//     sub_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) {
//         if (e.what == RecordEvents::InvoiceDeleted && e.key == shownInvoice_) closeWithoutSaving();
//     });
#include <cstdint>
#include <functional>
#include <memory>

namespace RecordEvents {

enum What {
    ClientSaved,
    ClientDeleted,          // with its invoices, lines and payments
    InvoiceSaved,           // the header
    InvoiceDeleted,         // with its lines
    PaymentSaved,
    PaymentDeleted,
    CompanySaved,
    CurrentClientChanged,   // key: the new Globals::CurrentCustNum
    VendorSaved,
    VendorDeleted,          // with its register entries
    LedgerEntrySaved,       // a register entry
    LedgerEntryDeleted,
    StockMoved,             // key: the item whose in-stock count a line moved
};

struct Event {
    What what;
    int32_t key = 0;      // the record's number
    int32_t client = 0;   // the client it belongs to, when the writer knows it (else 0)
};

// Ends the subscription when it goes (or is reset).
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::shared_ptr<void> token) : token_(std::move(token)) {}
    void reset() { token_.reset(); }
    explicit operator bool() const { return token_ != nullptr; }

private:
    std::shared_ptr<void> token_;
};

// The handler runs for every event published while the subscription lives.
// Handlers may subscribe, unsubscribe and unload windows while they run; a
// subscription ended during a publish gets no later event of it.
[[nodiscard]] Subscription Subscribe(std::function<void(const Event&)> handler);
void Publish(const Event& e);

} // namespace RecordEvents
