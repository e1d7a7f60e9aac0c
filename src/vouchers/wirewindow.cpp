#include "vouchers/wirewindow.h"

#include "ui_jhdhpz.h"
#include "vouchers/ticks.h"

namespace vouchers {

WireWindow::WireWindow(QWidget *parent) : BankFormWindow(parent, QStringLiteral("建行电汇凭证")), ui(ui::setUpForm<Ui::jhdhpz>(this)), m_f(*ui)
{
    Setup setup;
    setup.byInitials = m_f.byInitials;
    setup.customerPickers = {m_f.pickCustomer, m_f.pickPayee};
    setup.purposePicker = m_f.pickPurpose;
    setup.initialsEmptyMessage = QStringLiteral("请输入公司名称的字母简称，如蓝石软件输入lsrj");
    setup.focusAfterSearch = nullptr;
    setup.paymentCode = m_f.paymentCode;
    setUp(BankFormFields(*ui), setup);
}

WireWindow::~WireWindow() { delete ui; }

WireFace WireWindow::face() const
{
    WireFace f;
    static_cast<BankFormFace &>(f) = baseFace();
    f.normalMark = method().mark(0);
    f.urgentMark = method().mark(1);
    return f;
}

Voucher WireWindow::voucher(Settings) const
{
    // The global adjustment as read at the last refill; the form has no calibration of its own.
    return wireVoucher(face(), entries(), offsets(), QDate::currentDate());
}

} // namespace vouchers
