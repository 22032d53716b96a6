// The one error report and the trap that shows it.
#include <stdexcept>
#include <gtest/gtest.h>
#include "support/TestEnv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

using namespace vb;

namespace {

TEST(ErrorReport, TextIsExact) {
    EXPECT_EQ(ErrorReportText("Client.GetClient -", 94, ErrorDescription(94)),
              "Client.GetClient -94 Invalid use of Null.  If error persists contact Vantrels author.");
    EXPECT_EQ(ErrorReportText("Client.GetAllClients -", err::SqlPrepare, "no such table: tb_Clint"),
              "Client.GetAllClients --2147217900 no such table: tb_Clint.  If error persists contact Vantrels author.");
    // A description with its own full stop keeps it: two in a row.
    EXPECT_EQ(ErrorReportText("Vendor.VendorBal -", 3704, ErrorDescription(3704)),
              "Vendor.VendorBal -3704 Operation is not allowed when the object is closed..  "
              "If error persists contact Vantrels author.");
}

TEST(ErrorReport, DescriptionsAndFileErrors) {
    EXPECT_EQ(RuntimeError(err::Overflow).Description(), "Overflow");
    EXPECT_EQ(RuntimeError(err::TypeMismatch).Description(), "Type mismatch");
    EXPECT_EQ(std::string(RuntimeError(err::DivisionByZero).what()), "Division by zero");
    EXPECT_EQ(ErrorDescription(12345), "");
    EXPECT_EQ(RuntimeError(12345).Description(), "Application-defined or object-defined error");
    EXPECT_EQ(FileError(3024, "/tmp/x/Vantrel.mdb").Description(), "Could not find file '/tmp/x/Vantrel.mdb'.");
    EXPECT_EQ(FileError(3045, "a.mdb").Description(), "Could not use 'a.mdb'; file already in use.");
    EXPECT_EQ(FileError(3343, "a.mdb").Description(), "Unrecognized database format 'a.mdb'.");
    EXPECT_EQ(FileError(3343, "a.mdb").Number(), 3343);
    for (long n : {6L, 11L, 13L, 53L, 91L, 94L, 3021L, 3251L, 3265L, 3704L, 3705L, 3706L, 3709L})
        EXPECT_FALSE(ErrorDescription(n).isEmpty()) << n;
}

TEST(ErrorTrap, ShowsOneReportAndStops) {
    struct Case {
        std::function<void()> body;
        const char* prompt;
    } cases[] = {
        {[] { Raise(err::TypeMismatch); }, "Invoice.SavePayment -13 Type mismatch.  If error persists contact Vantrels author."},
        {[] { throw std::runtime_error("disk I/O error"); },
         "Invoice.SavePayment --2147467259 disk I/O error.  If error persists contact Vantrels author."},
        {[] { throw 42; }, "Invoice.SavePayment --2147467259 Unspecified error.  If error persists contact Vantrels author."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prompt);
        testsupport::ScriptedMsgBox boxes;
        boxes.expect(vbOK);
        bool after = false;
        EXPECT_FALSE(Trap("Invoice.SavePayment -", [&] { c.body(); after = true; }));
        EXPECT_FALSE(after);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].prompt, QString::fromUtf8(c.prompt));
        EXPECT_EQ(boxes.shown()[0].buttons, vbOKOnly);
        EXPECT_EQ(boxes.shown()[0].title, "Vantrels");
    }
}

TEST(ErrorTrap, QuietWhenNothingFails) {
    testsupport::ScriptedMsgBox boxes;
    int ran = 0;
    EXPECT_TRUE(Trap("Client.GetClient -", [&] { ++ran; }));
    IgnoreErrors([&] { ++ran; Raise(err::Overflow); });
    EXPECT_EQ(ran, 2);
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
