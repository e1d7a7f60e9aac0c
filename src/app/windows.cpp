#include "app/windows.h"

#include "app/about.h"
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
#include "vouchers/jhdhpz.h"
#include "vouchers/jkddy.h"
#include "vouchers/jzddy.h"
#include "vouchers/nhjsywsqs.h"
#include "vouchers/tydhpz.h"
#include "vouchers/tydysz.h"
#include "vouchers/zpdy.h"

namespace app {

namespace {
template <typename Window>
void offer(MainWindow &main, const char *name)
{
    main.registerWindow(QString::fromLatin1(name), [](QWidget *parent) { return new Window(parent); });
}
} // namespace

void registerWindows(MainWindow &main)
{
    offer<AboutBox>(main, "about");
    offer<snooker::Scoreboard>(main, "snk");
    offer<reference::OwnCompanyWindow>(main, "bssz");
    offer<reference::CustomerAddWindow>(main, "khsz1");
    offer<reference::CustomerManageWindow>(main, "khsz2");
    offer<reference::PurposeAddWindow>(main, "ytsz1");
    offer<reference::PurposeManageWindow>(main, "ytsz2");
    offer<vouchers::ChequeWindow>(main, "zpdy");
    offer<vouchers::DepositWindow>(main, "jzddy");
    offer<vouchers::NoticeWindow>(main, "jkddy");
    offer<vouchers::WireWindow>(main, "jhdhpz");
    offer<vouchers::ApplicationWindow>(main, "nhjsywsqs");
    offer<vouchers::GeneralWireWindow>(main, "tydhpz");
    offer<vouchers::GeneralLayoutWindow>(main, "tydysz");
    offer<batch::BatchWindow>(main, "pldy");
    offer<history::HistoryWindow>(main, "lsjlcx");
    offer<maintenance::CustomerImportWindow>(main, "khxxdr");
    offer<maintenance::BackupWindow>(main, "sjbf");
    offer<maintenance::RestoreWindow>(main, "sjhf");
    offer<maintenance::PrinterAdjustWindow>(main, "dyjsz");
}

} // namespace app
