#include "books/PaymentCategories.h"
#include "data/Globals.h"
#include "data/cSetup.h"

PaymentCategories::PaymentCategories()
    : TypeListEditor({.formName = QStringLiteral("PaymentCategories"),
                      .caption = QStringLiteral("Edit / Add Payment Categories"),
                      .header = QStringLiteral("^|Payment Type"),
                      .deletePrompt = QStringLiteral("Delete payment type... "),
                      .deleteTitle = QStringLiteral("Delete Payment Type"),
                      .user = QStringLiteral("payment received"),
                      .users = QStringLiteral("payments received")},
                     {&cSetup::SavePaymentType, &cSetup::DeletePaymentType, &cSetup::ReplacePaymentType,
                      &cSetup::rsPaymentTypes, &cSetup::PaymentTypeUses, Globals::rsPayTypes}) {}
