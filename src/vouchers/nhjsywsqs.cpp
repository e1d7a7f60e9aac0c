#include "vouchers/nhjsywsqs.h"

#include "ui_nhjsywsqs.h"
#include "vouchers/ticks.h"

namespace vouchers {

ApplicationWindow::ApplicationWindow(QWidget *parent)
    : BankFormWindow(parent, QStringLiteral("农行结算业务申请书")), ui(new Ui::nhjsywsqs)
{
    ui->setupUi(this);
    m_type = new TickChoice({ui->Check3, ui->Check4, ui->Check5, ui->Check6, ui->Check7}, applicationTypeMarks(), this);
    m_type->tick(0); // 电汇, once at load
    Setup setup;
    setup.byInitials = ui->Command8;
    setup.customerPickers = {ui->Command2};
    setup.purposePicker = ui->Command6;
    setup.initialsEmptyMessage = QStringLiteral("请输入公司名称");
    setup.focusAfterSearch = ui->Text39;
    setup.paymentCode = ui->Text42;
    setUp(setup);
}

ApplicationWindow::~ApplicationWindow() { delete ui; }

QList<DataProblem> ApplicationWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = BankFormWindow::fill(data);
    const QString type = data.value(key::businessType).trimmed();
    const qsizetype i = type.isEmpty() ? 0 : applicationTypes().indexOf(type);
    if (i < 0)
        problems.append({key::businessType, QStringLiteral("业务类型“%1”不对，只能是%2之一")
                                                .arg(type, applicationTypes().join(QStringLiteral("、")))});
    else
        m_type->tick(int(i));
    return problems;
}

ApplicationFace ApplicationWindow::face() const
{
    ApplicationFace f;
    static_cast<BankFormFace &>(f) = baseFace();
    f.typeMarks = m_type->marks();
    f.normalMark = method().mark(0);
    f.urgentMark = method().mark(1);
    return f;
}

Voucher ApplicationWindow::voucher(Settings) const
{
    // The global adjustment as read at the last refill; the form has no calibration of its own.
    return applicationVoucher(face(), entries(), offsets(), QDate::currentDate());
}

} // namespace vouchers
