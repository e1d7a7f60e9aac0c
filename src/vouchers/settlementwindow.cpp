#include "vouchers/settlementwindow.h"

#include "ui_nhjsywsqs.h"
#include "vouchers/ticks.h"

namespace vouchers {

SettlementWindow::SettlementWindow(QWidget *parent)
    : BankFormWindow(parent, QStringLiteral("农行结算业务申请书")), ui(ui::setUpForm<Ui::nhjsywsqs>(this)), m_f(*ui)
{
    m_type = new TickChoice({m_f.typeWire, m_f.typeMail, m_f.typeDraft, m_f.typeNote, m_f.typeOther}, applicationTypeMarks(), this);
    m_type->tick(0); // 电汇, once at load
    Setup setup;
    setup.byInitials = m_f.byInitials;
    setup.customerPickers = {m_f.pickCustomer};
    setup.purposePicker = m_f.pickPurpose;
    setup.initialsEmptyMessage = QStringLiteral("请输入公司名称");
    setup.focusAfterSearch = m_f.number;
    setup.paymentCode = m_f.paymentCode;
    setUp(BankFormFields(*ui), setup);
}

SettlementWindow::~SettlementWindow() { delete ui; }

QList<DataProblem> SettlementWindow::fill(const VoucherData &data)
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

ApplicationFace SettlementWindow::face() const
{
    ApplicationFace f;
    static_cast<BankFormFace &>(f) = baseFace();
    f.typeMarks = m_type->marks();
    f.normalMark = method().mark(0);
    f.urgentMark = method().mark(1);
    return f;
}

Voucher SettlementWindow::voucher(Settings) const
{
    // The global adjustment as read at the last refill; the form has no calibration of its own.
    return applicationVoucher(face(), entries(), offsets(), QDate::currentDate());
}

} // namespace vouchers
