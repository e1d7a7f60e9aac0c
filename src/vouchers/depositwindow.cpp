#include "vouchers/depositwindow.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_jzddy.h"
#include "vouchers/amountblock.h"

namespace vouchers {

DepositWindow::DepositWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("进账单"), QStringLiteral("进账单")), ui(ui::setUpForm<Ui::jzddy>(this)),
      m_f(*ui), m_calibration(store::calibrationFile(QStringLiteral("jzddy.ini"))), m_company(connection())
{
    m_date = std::make_unique<PickedDate>(m_f.datePicker, m_f.confirmedYear, m_f.confirmedMonth, m_f.confirmedDay);
    printSettings().documentName = windowTitle();

    m_calibration.addKeyBoxes(this, depositKeyBoxes());
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
    // The list shows every column of the customer table.
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("帐号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}},
                         {QStringLiteral("sheng"), QStringLiteral("省/市"), {}},
                         {QStringLiteral("shi"), QStringLiteral("市/县"), {}},
                         reference::initialsColumn()};
    setUpCustomerSearch(setup);
    setPurposeField(m_f.purpose);
    m_f.grid->setColumnWidth(0, 240);
    m_f.grid->setColumnWidth(1, 170);
    m_f.grid->setColumnWidth(2, 200);

    m_amount = new AmountBlock(m_f.amount, m_f.amountWords, m_f.cells, text::AmountVariant::ElevenPlaces, this);
    // The replica's copies follow every change.
    for (const auto &[from, to] : {std::pair{m_f.billKind, m_f.billKindCopy},
                                   {m_f.number, m_f.numberCopy},
                                   {m_f.billCount, m_f.billCountCopy},
                                   {m_f.purpose, m_f.purposeCopy}})
        connect(from, &QLineEdit::textChanged, to, &QLineEdit::setText);
    m_f.billKindCopy->setText(m_f.billKind->text());
    m_f.billCountCopy->setText(m_f.billCount->text());

    connectCommonButtons({m_f.refresh, {m_f.pickCustomer}, m_f.pickPurpose, m_f.print, m_f.preview});
    connect(m_f.confirmDate, &QPushButton::clicked, this, &DepositWindow::confirmDate);
    connect(m_f.exit, &QPushButton::clicked, this, &QWidget::hide); // keeps the entries
    connect(m_f.editCalibration, &QPushButton::clicked, this, [this] { m_calibration.setLocked(false); });
    connect(m_f.saveCalibration, &QPushButton::clicked, this, &DepositWindow::saveCalibration);

    ui::focusOnKey(m_f.search, Qt::Key_Return, m_f.byInitials);
    ui::focusOnKey(m_f.amount, Qt::Key_Return, m_f.number);
    ui::focusOnKey(m_f.number, Qt::Key_Return, m_f.pickPurpose);
    // Where a refusal of the print leaves the focus.
    setFocusTargets({{key::date, m_f.confirmDate},
                     {key::amount, m_f.amount},
                     {key::purpose, m_f.purpose},
                     {key::number, m_f.number},
                     {key::counterparty, m_f.search}});

    readOwnCompany();
    takeOver();
}

DepositWindow::~DepositWindow() { delete ui; }

void DepositWindow::readOwnCompany()
{
    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
}

void DepositWindow::activate()
{
    m_date->setToday();
    // The own company may have been changed (本司设置) while the window was hidden: the slip
    // must print and record the account as it is now.
    readOwnCompany();
    takeOver();
    m_calibration.setLocked(true);
    m_f.search->setFocus();
}

void DepositWindow::takeOver()
{
    const store::DataSource &c = customers();
    m_f.payerName->setText(c.text(QStringLiteral("gsmc")));
    m_f.payerAccount->setText(c.text(QStringLiteral("zhh")));
    m_f.payerBank->setText(c.text(QStringLiteral("khh")));
    m_f.payeeName->setText(m_company.text(QStringLiteral("gsmc")));
    m_f.payeeAccount->setText(m_company.text(QStringLiteral("zhh")));
    m_f.payeeBank->setText(m_company.text(QStringLiteral("khh")));
}

void DepositWindow::confirmDate()
{
    m_date->confirm();
    m_f.amount->setFocus();
}

void DepositWindow::saveCalibration()
{
    if (!m_calibration.save())
        ui::tell(this, QStringLiteral("设置没有保存：无法写入文件“%1”。").arg(m_calibration.fileName()),
                 QStringLiteral("进账单打印设置"), ui::Icon::Warning);
}

QList<DataProblem> DepositWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    m_date->take(dataDate(data, problems));
    m_f.amount->setText(data.value(key::amount));
    const QString kind = data.value(key::billKind);
    m_f.billKind->setText(kind.isEmpty() ? QStringLiteral("支票") : kind);
    m_f.number->setText(data.value(key::number));
    const QString count = data.value(key::billCount);
    m_f.billCount->setText(count.isEmpty() ? QStringLiteral("1") : count);
    m_f.purpose->setText(data.value(key::purpose));
    return problems;
}

void DepositWindow::setCounterparty(const VoucherData &data)
{
    m_f.payerName->setText(data.value(key::counterparty));
    m_f.payerAccount->setText(data.value(key::account));
    m_f.payerBank->setText(data.value(key::bank));
}

DepositEntries DepositWindow::entries() const
{
    DepositEntries e;
    m_f.readFace(e.face);
    e.number = m_f.number->text();
    e.amount = m_f.amount->text();
    e.purpose = m_f.purpose->text();
    e.voucherDate = m_date->historyText(); // the date the year, month and day boxes were made from
    return e;
}

Voucher DepositWindow::voucher(Settings settings) const
{
    return depositVoucher(entries(), settings == Settings::Saved ? m_calibration.values() : m_calibration.typedValues(),
                          QDate::currentDate());
}

} // namespace vouchers
