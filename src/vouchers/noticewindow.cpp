#include "vouchers/noticewindow.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_jkddy.h"
#include "vouchers/amountblock.h"

namespace vouchers {

NoticeWindow::NoticeWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("交款单"), QStringLiteral("交款单")), ui(ui::setUpForm<Ui::jkddy>(this)),
      m_f(*ui), m_calibration(store::calibrationFile(QStringLiteral("jkddy.ini"))), m_company(connection())
{
    m_date = std::make_unique<PickedDate>(m_f.datePicker, m_f.confirmedYear, m_f.confirmedMonth, m_f.confirmedDay);
    printSettings().documentName = windowTitle();

    m_calibration.addKeyBoxes(this, noticeKeyBoxes());
    m_calibration.load();

    reference::CustomerSearchSetup setup;
    setup.searchField = m_f.search;
    setup.byName = m_f.byName;
    setup.byInitials = m_f.byInitials;
    setup.grid = m_f.grid;
    setup.exitButton = m_f.exit;
    setup.focusSearchFieldWhenEmpty = true;
    setup.focusAfterNameSearch = nullptr; // stays in the search field
    setup.focusAfterInitialsSearch = m_f.confirmDate;
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setUpCustomerSearch(setup);
    setPurposeField(m_f.purpose);
    m_f.grid->setColumnWidth(0, 260);
    m_f.grid->setColumnWidth(1, 200);

    m_amount = new AmountBlock(m_f.amount, m_f.amountWords, m_f.cells, text::AmountVariant::ElevenPlaces, this);
    // The lower texts of the notice follow their entries and may be edited there too.
    for (const auto &[from, to] : {std::pair{m_f.billKind, m_f.billKindCopy},
                                   {m_f.address, m_f.addressCopy},
                                   {m_f.purpose, m_f.purposeCopy},
                                   {m_f.remark, m_f.remarkCopy}})
        connect(from, &QLineEdit::textChanged, to, &QLineEdit::setText);

    connectCommonButtons({m_f.refresh, {m_f.pickCustomer}, m_f.pickPurpose, m_f.print, m_f.preview});
    connect(m_f.confirmDate, &QPushButton::clicked, this, &NoticeWindow::confirmDate);
    connect(m_f.exit, &QPushButton::clicked, this, &QWidget::hide); // keeps the entries
    connect(m_f.editCalibration, &QPushButton::clicked, this, [this] { m_calibration.setLocked(false); });
    connect(m_f.saveCalibration, &QPushButton::clicked, this, &NoticeWindow::saveCalibration);

    ui::focusOnKey(m_f.search, Qt::Key_Return, m_f.byInitials);
    ui::focusOnKey(m_f.amount, Qt::Key_Return, m_f.number);
    ui::focusOnKey(m_f.number, Qt::Key_Return, m_f.address);
    ui::focusOnKey(m_f.address, Qt::Key_Return, m_f.pickPurpose);
    ui::focusOnKey(m_f.remark, Qt::Key_Return, m_f.print);
    // Where a refusal of the print leaves the focus.
    setFocusTargets({{key::number, m_f.number},
                     {key::date, m_f.confirmDate},
                     {key::amount, m_f.amount},
                     {key::purpose, m_f.purpose},
                     {key::counterparty, m_f.payeeName}});

    readOwnCompany();
    takeOver();
}

NoticeWindow::~NoticeWindow() { delete ui; }

void NoticeWindow::readOwnCompany()
{
    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
}

void NoticeWindow::fillPayee()
{
    m_companyShown = {m_company.text(QStringLiteral("gsmc")), m_company.text(QStringLiteral("zhh")),
                      m_company.text(QStringLiteral("khh"))};
    m_f.payeeName->setText(m_companyShown.value(0));
    m_f.payeeAccount->setText(m_companyShown.value(1));
    m_f.payeeBank->setText(m_companyShown.value(2));
}

void NoticeWindow::activate()
{
    m_date->setToday();
    // The own company may have been changed (本司设置) while the window was hidden. The payee
    // fields are the clerk's to edit, so they are refilled only when the company changed.
    readOwnCompany();
    const QStringList now = {m_company.text(QStringLiteral("gsmc")), m_company.text(QStringLiteral("zhh")),
                             m_company.text(QStringLiteral("khh"))};
    if (now != m_companyShown)
        fillPayee();
    m_calibration.setLocked(true);
    m_f.search->setFocus();
}

void NoticeWindow::takeOver()
{
    const store::DataSource &c = customers();
    m_f.payerName->setText(c.text(QStringLiteral("gsmc")));
    m_f.payerAccount->setText(c.text(QStringLiteral("zhh")));
    m_f.payerBank->setText(c.text(QStringLiteral("khh")));
    fillPayee();
}

void NoticeWindow::confirmDate()
{
    m_date->confirm();
    m_f.amount->setFocus();
}

void NoticeWindow::saveCalibration()
{
    if (!m_calibration.save())
        ui::tell(this, QStringLiteral("设置没有保存：无法写入文件“%1”。").arg(m_calibration.fileName()),
                 QStringLiteral("交款单打印设置"), ui::Icon::Warning);
}

QList<DataProblem> NoticeWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    m_f.number->setText(data.value(key::number));
    m_date->take(dataDate(data, problems));
    m_f.amount->setText(data.value(key::amount));
    m_f.billKind->setText(data.value(key::billKind));
    m_f.address->setText(data.value(key::address));
    m_f.purpose->setText(data.value(key::purpose));
    m_f.remark->setText(data.value(key::remark));
    return problems;
}

void NoticeWindow::setCounterparty(const VoucherData &data)
{
    m_f.payerName->setText(data.value(key::counterparty));
    m_f.payerAccount->setText(data.value(key::account));
    m_f.payerBank->setText(data.value(key::bank));
}

NoticeEntries NoticeWindow::entries() const
{
    NoticeEntries e;
    m_f.readFace(e.face);
    e.number = m_f.number->text();
    e.amount = m_f.amount->text();
    e.purpose = m_f.purpose->text();
    e.voucherDate = m_date->historyText();
    return e;
}

Voucher NoticeWindow::voucher(Settings settings) const
{
    return noticeVoucher(entries(), settings == Settings::Saved ? m_calibration.values() : m_calibration.typedValues(),
                         QDate::currentDate());
}

} // namespace vouchers
