// A program killed at any moment while it picks, changes and removes invoice
// lines leaves a file whose stock agrees with its lines.
#include <random>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include "ado/Connection.h"
#include "data/Invoice.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"

namespace {

// The editor's line work through the data layer, as fast as it goes, until
// the process is killed: a pick, a quantity change, or a removal.
[[noreturn]] void workOnLines(const QString& file, unsigned seed) {
    std::mt19937 rnd(seed);
    Invoice inv;
    inv.InitAccess(file);
    for (;;) {
        inv.OpenCn();
        auto lines = inv.GetInvoiceItems(1001);
        const int action = int(rnd() % 7);
        if (action < 3 || !lines || lines->RecordCount() == 0) {
            inv.TransNum = 0;
            inv.ItemNum = 1001 + int(rnd() % 3);
            inv.setQty(1);
        } else {
            for (int k = int(rnd() % lines->RecordCount()); k > 0; --k) lines->MoveNext();
            inv.TransNum = vb::CLng(lines->Fields("TransNum").Value());
            inv.ItemNum = vb::CLng(lines->Fields("ItemNum").Value());
            inv.setQty(int(rnd() % 9));
        }
        inv.setInvoiceNum(1001);
        if (action == 6 && inv.TransNum != 0) inv.DeleteInvoiceItem(inv.TransNum);
        else inv.SaveLineAccess();
        inv.CloseCn();
    }
}

} // namespace

TEST(LineStockKill, ThirtyKillsAtRandomLeaveStockEqualToStartLessTheLines) {
    testsupport::ProgramFolder f;
    f.exec(QStringLiteral("insert into tb_Client (CustNum, Lname) values (1001, 'Kill');"
                          "insert into tb_Invoice (InvoiceNum, CustNum) values (1001, 1001);"
                          "insert into tb_Inventory (ItemNum, CatNum, par, instock) values (1001, 1, 5, 0), "
                          "(1002, 1, 5, 0), (1003, 1, 5, 0)"));
    // No handle of this process may be shared with the child.
    ado::Connection::EmptyPool();
    std::mt19937 rnd(24);
    int disagreements = 0;
    int lines = 0;
    for (int run = 0; run < 30; ++run) {
        // Each run starts from 5 of each item and no lines.
        f.exec(QStringLiteral("delete from tb_trans; update tb_Inventory set instock = 5"));
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) workOnLines(f.dataFile(), unsigned(rnd()));
        usleep(useconds_t(10000 + rnd() % 100000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        // Opening the file rolls back what the killed program left half done.
        EXPECT_EQ(f.scalar(QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
        lines += f.scalar(QStringLiteral("select count(*) from tb_trans")).toInt();
        disagreements += f.scalar(QStringLiteral(
                             "select count(*) from tb_Inventory i where instock <> 5 - (select "
                             "coalesce(sum(Qty), 0) from tb_trans t where t.ItemNum = i.ItemNum)")).toInt() > 0;
    }
    EXPECT_EQ(disagreements, 0);
    EXPECT_GT(lines, 0) << "the driver did its work";
}
