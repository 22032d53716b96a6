#pragma once
// The payment types offered when payments are entered and on the client
// profile: one editable row per type, saved as soon as its text is edited.
// Opened modally by the setup window.
#include "books/TypeListEditor.h"

class PaymentCategories : public books::TypeListEditor {
    Q_OBJECT
public:
    PaymentCategories();

    void SetNewRowStatus() { list_.SetNewRowStatus(); }
    void AfterRowEdit() { list_.AfterRowEdit(); }
};
