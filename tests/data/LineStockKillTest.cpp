// A program killed at any moment while it picks, changes and removes invoice
// lines leaves a file whose stock agrees with its lines.
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include "ado/Connection.h"
#include "data/Invoice.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"

// The editor's line work (a pick, a new quantity or a removal) as fast as it
// goes, until the process is killed.
[[noreturn]] static void workOnLines(const QString& file, std::mt19937 rnd) {
    for (Invoice inv;; inv.CloseCn()) {
        inv.InitAccess(file);
        inv.OpenCn();
        const auto lines = inv.GetInvoiceItems(1001);
        const int action = int(rnd() % 7), count = lines ? int(lines->RecordCount()) : 0;
        inv.TransNum = 0;
        inv.ItemNum = 1001 + int(rnd() % 3);
        for (int k = action < 3 || count == 0 ? -1 : int(rnd() % count); k >= 0; --k, lines->MoveNext()) {
            inv.TransNum = vb::CLng(lines->Fields("TransNum").Value());
            inv.ItemNum = vb::CLng(lines->Fields("ItemNum").Value());
        }
        inv.setInvoiceNum(1001);
        inv.setQty(inv.TransNum == 0 ? 1 : int(rnd() % 9));
        if (action == 6 && inv.TransNum != 0) inv.DeleteInvoiceItem(inv.TransNum);
        else inv.SaveLineAccess();
    }
}

TEST(LineStockKill, ThirtyKillsAtRandomLeaveStockEqualToStartLessTheLines) {
    testsupport::ProgramFolder f;
    f.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum) values (1001, 1001); insert into "
                          "tb_Inventory (ItemNum, CatNum, par) values (1001, 1, 5), (1002, 1, 5), (1003, 1, 5)"));
    ado::Connection::EmptyPool();   // the child shares no handle of this process
    std::mt19937 rnd(24);
    int disagreements = 0, lines = 0;
    for (int run = 0; run < 30; ++run) {
        f.exec(QStringLiteral("delete from tb_trans; update tb_Inventory set instock = 5"));
        const pid_t pid = fork();
        if (pid == 0) workOnLines(f.dataFile(), std::mt19937(rnd()));
        usleep(useconds_t(10000 + rnd() % 100000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        // Opening the file rolls back what the killed program left half done.
        EXPECT_EQ(f.scalar(QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
        lines += f.scalar(QStringLiteral("select count(*) from tb_trans")).toInt();
        disagreements += f.scalar(QStringLiteral("select count(*) from tb_Inventory i where instock <> 5 - (select "
                                                 "total(Qty) from tb_trans t where t.ItemNum = i.ItemNum)")) != "0";
    }
    EXPECT_EQ(disagreements, 0);
    EXPECT_GT(lines, 0) << "the driver did its work";
}
