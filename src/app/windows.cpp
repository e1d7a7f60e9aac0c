#include "app/windows.h"

#include "app/about.h"
#include "app/companywindows.h"
#include "app/mainwindow.h"
#include "batch/batchwindow.h"
#include "history/historywindow.h"
#include "maintenance/backuprestore.h"
#include "maintenance/customerimport.h"
#include "maintenance/printeradjust.h"
#include "reference/customeradd.h"
#include "reference/customermanage.h"
#include "reference/owncompany.h"
#include "reference/purposes.h"
#include "snooker/snk.h"
#include "vouchers/customformstore.h"
#include "vouchers/formdesigner.h"
#include "vouchers/generallayoutwindow.h"
#include "vouchers/numberbookwindow.h"
#include "vouchers/voucherdata.h"
#include "vouchers/voucherwindow.h"

namespace app {

namespace {
template <typename Window>
void offer(MainWindow &main, const char *name)
{
    main.registerWindow(QString::fromLatin1(name), [](QWidget *parent) { return new Window(parent); });
}
} // namespace

void registerWindows(MainWindow &main, CompanyDesk *desk)
{
    if (desk) {
        main.registerWindow(QStringLiteral("ztxj"), [desk](QWidget *parent) { return new CompanyNewWindow(*desk, parent); });
        main.registerWindow(QStringLiteral("ztdk"), [desk](QWidget *parent) { return new CompanyOpenWindow(*desk, parent); });
        main.registerWindow(QStringLiteral("ztgl"), [desk](QWidget *parent) { return new CompanyManageWindow(*desk, parent); });
    }
    offer<AboutBox>(main, "about");
    offer<snooker::Scoreboard>(main, "snk");
    offer<reference::OwnCompanyWindow>(main, "bssz");
    offer<reference::CustomerAddWindow>(main, "khsz1");
    offer<reference::CustomerManageWindow>(main, "khsz2");
    offer<reference::PurposeAddWindow>(main, "ytsz1");
    offer<reference::PurposeManageWindow>(main, "ytsz2");
    // Every voucher kind, from the one list of kinds.
    for (const vouchers::VoucherKind &k : vouchers::voucherKinds())
        main.registerWindow(k.window, k.make);
    offer<vouchers::GeneralLayoutWindow>(main, "tydysz");
    main.registerWindow(QStringLiteral("zdypz"), [&main](QWidget *parent) {
        auto *designer = new vouchers::FormDesignerWindow(parent);
        designer->openVoucher = [&main](const vouchers::CustomForm &form) {
            if (const vouchers::VoucherKind *k = vouchers::findVoucherKind(form.window())) {
                main.registerWindow(k->window, k->make);
                main.openWindow(k->window);
            }
        };
        return designer;
    });
    offer<batch::BatchWindow>(main, "pldy");
    offer<vouchers::NumberBookWindow>(main, "hmb");
    offer<history::HistoryWindow>(main, "lsjlcx");
    offer<maintenance::CustomerImportWindow>(main, "khxxdr");
    offer<maintenance::BackupWindow>(main, "sjbf");
    offer<maintenance::RestoreWindow>(main, "sjhf");
    main.registerWindow(QStringLiteral("dyjsz"), [](QWidget *parent) {
        QList<maintenance::TestPrintVoucher> vouchers;
        for (const vouchers::VoucherKind *k : vouchers::allVoucherKinds())
            vouchers.append({k->window, k->name});
        return new maintenance::PrinterAdjustWindow(parent, vouchers);
    });
}

} // namespace app
