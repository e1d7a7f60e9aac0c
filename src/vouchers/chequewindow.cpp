#include "vouchers/chequewindow.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/amount.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_zpdy.h"
#include "vouchers/amountblock.h"

namespace vouchers {

ChequeWindow::ChequeWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("支票"), QStringLiteral("支票打印")), ui(ui::setUpForm<Ui::zpdy>(this)),
      m_f(*ui), m_calibration(store::calibrationFile(QStringLiteral("mqtx.ini"))), m_company(connection())
{
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
    m_date = std::make_unique<PickedDate>(m_f.datePicker, m_f.stubYear, m_f.stubMonth, m_f.stubDay,
                                          PickedDate::Capitals{m_f.capitalYear, m_f.capitalMonth, m_f.capitalDay});

    // The stored offsets and switches come first, before any data source.
    m_calibration.addKeyBoxes(this, chequeKeyBoxes());
    m_calibration.load();

    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();

    reference::CustomerSearchSetup setup;
    setup.searchField = m_f.search;
    setup.byName = m_f.byName;
    setup.byInitials = m_f.byInitials;
    setup.grid = m_f.grid;
    setup.exitButton = m_f.exit;
    setup.focusSearchFieldWhenEmpty = true;
    setup.focusAfterNameSearch = m_f.number;
    setup.focusAfterInitialsSearch = m_f.number;
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setUpCustomerSearch(setup);
    setPurposeField(m_f.purpose);
    m_f.grid->setColumnWidth(0, 260);
    m_f.grid->setColumnWidth(1, 200);

    m_amount = new AmountBlock(m_f.amount, m_f.amountWords, m_f.cells, text::AmountVariant::TenPlaces, this);
    m_amount->setAfterChange([this](const QString &amount) {
        m_f.stubAmount->setText(counterfoilOn() ? text::currencyText(amount) : QString());
    });
    connect(m_f.purpose, &QLineEdit::textChanged, this, &ChequeWindow::purposeChanged);

    connectCommonButtons({m_f.refresh, {m_f.pickCustomer}, m_f.pickPurpose, m_f.print, m_f.preview});
    connect(m_f.confirmDate, &QPushButton::clicked, this, &ChequeWindow::confirmDate);
    connect(m_f.exit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_f.editCalibration, &QPushButton::clicked, this, &ChequeWindow::editCalibration);
    connect(m_f.saveCalibration, &QPushButton::clicked, this, &ChequeWindow::saveCalibration);
    connect(m_f.bankOn, &QRadioButton::clicked, this, [this] { chooseBank(true); });
    connect(m_f.bankOff, &QRadioButton::clicked, this, [this] { chooseBank(false); });
    connect(m_f.stubOn, &QRadioButton::clicked, this, [this] { chooseCounterfoil(true); });
    connect(m_f.stubOff, &QRadioButton::clicked, this, [this] { chooseCounterfoil(false); });

    ui::focusOnKey(m_f.search, Qt::Key_Return, m_f.byInitials);
    ui::focusOnKey(m_f.number, Qt::Key_Return, m_f.confirmDate);
    ui::focusOnKey(m_f.amount, Qt::Key_Return, m_f.purpose);
    ui::focusOnKey(m_f.purpose, Qt::Key_Return, m_f.print);
    // Where a refusal of the print leaves the focus.
    setFocusTargets({{key::number, m_f.number},
                     {key::date, m_f.confirmDate},
                     {key::amount, m_f.amount},
                     {key::purpose, m_f.purpose},
                     {key::counterparty, m_f.search}});

    printSettings().documentName = windowTitle();

    applySwitches();
}

ChequeWindow::~ChequeWindow() { delete ui; }

void ChequeWindow::activate()
{
    m_date->setToday();
    applySwitches();
    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
    takeOver();
    m_calibration.setLocked(true);
    m_f.search->setFocus();
}

bool ChequeWindow::bankOn() const { return m_calibration.isOn(kBankSwitch); }

bool ChequeWindow::counterfoilOn() const { return m_calibration.isOn(kCounterfoilSwitch); }

void ChequeWindow::takeOver()
{
    const QString ownName = m_company.text(QStringLiteral("gsmc"));
    const QString ownBank = m_company.text(QStringLiteral("khh"));
    const QString ownAccount = m_company.text(QStringLiteral("zhh"));
    m_held.text23 = ownName;
    m_held.text2 = m_held.text30 = ownBank;
    m_f.payingBank->setText(ownBank);
    m_held.text4 = m_held.text41 = ownAccount;
    m_f.drawerAccount->setText(ownAccount);

    const store::DataSource &c = customers();
    const QString payee = c.text(QStringLiteral("gsmc"));
    m_f.stubPayee->setText(payee);
    m_held.text101 = payee;
    m_f.payee->setText(payee);
    m_held.text24 = c.text(QStringLiteral("zhh"));
    m_held.text26 = c.text(QStringLiteral("khh"));
    applySwitches();
}

void ChequeWindow::applySwitches()
{
    const bool stub = counterfoilOn();
    m_f.stubPayee->setText(stub ? m_held.text101 : QString());
    m_f.payingBank->setText(bankOn() ? m_held.text2 : QString());
    m_f.drawerAccount->setText(bankOn() ? m_held.text4 : QString());
    // The counterfoil's other copies follow the switch as well, not only the next change of their
    // entries: a counterfoil switched on after the amount was typed prints the amount.
    m_f.stubAmount->setText(stub ? text::currencyText(m_f.amount->text()) : QString());
    m_f.stubPurpose->setText(stub ? m_f.purpose->text() : QString());
    if (const QDate confirmed = m_date->confirmed(); stub && confirmed.isValid() && m_f.stubYear->text().isEmpty()) {
        m_f.stubYear->setText(QString::number(confirmed.year()));
        m_f.stubMonth->setText(QString::number(confirmed.month()));
        m_f.stubDay->setText(QString::number(confirmed.day()));
    }
}

void ChequeWindow::purposeChanged()
{
    m_f.purposeCopy->setText(m_f.purpose->text());
    m_f.stubPurpose->setText(counterfoilOn() ? m_f.purpose->text() : QString());
}

void ChequeWindow::confirmDate()
{
    m_date->confirm();
    m_f.amount->setFocus();
}

void ChequeWindow::chooseBank(bool on)
{
    m_f.payingBank->setText(on ? m_held.text2 : QStringLiteral(" "));
    m_f.drawerAccount->setText(on ? m_held.text4 : QStringLiteral(" "));
    m_f.bankSwitch->setText(on ? QStringLiteral("1") : QStringLiteral("0"));
}

void ChequeWindow::chooseCounterfoil(bool on)
{
    m_f.stubSwitch->setText(on ? QStringLiteral("1") : QStringLiteral("0"));
    if (on) {
        m_f.stubPayee->setText(m_held.text101);
        return;
    }
    for (QLineEdit *f : {m_f.stubPayee, m_f.stubYear, m_f.stubMonth, m_f.stubDay, m_f.stubAmount, m_f.stubPurpose})
        f->clear();
}

void ChequeWindow::editCalibration() { m_calibration.setLocked(false); }

void ChequeWindow::saveCalibration()
{
    const bool saved = m_calibration.save();
    applySwitches(); // the switches saved now are the ones every copy follows
    if (!saved)
        ui::tell(this, QStringLiteral("设置没有保存：无法写入文件“%1”。").arg(m_calibration.fileName()),
                 QStringLiteral("支票打印设置"), ui::Icon::Warning);
}

QList<DataProblem> ChequeWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    m_f.number->setText(data.value(key::number));
    m_date->take(dataDate(data, problems));
    m_f.amount->setText(data.value(key::amount));
    m_f.purpose->setText(data.value(key::purpose));
    return problems;
}

void ChequeWindow::setCounterparty(const VoucherData &data)
{
    const QString name = data.value(key::counterparty);
    m_f.payee->setText(name);
    m_held.text101 = name;
    m_held.text24 = data.value(key::account);
    m_held.text26 = data.value(key::bank);
    applySwitches();
}

ChequeEntries ChequeWindow::entries() const
{
    ChequeEntries e;
    m_f.readFace(e.face);
    e.face.counterfoil = counterfoilOn();
    e.number = m_f.number->text();
    e.amount = m_f.amount->text();
    e.purpose = m_f.purpose->text();
    // The date the capitals were made from, also when the counterfoil choice "否" has emptied the
    // numeric fields since: the history row must keep a real date.
    e.voucherDate = m_date->historyText();
    e.payer = {m_held.text23, m_held.text41, m_held.text30};
    e.payee = {m_f.payee->text(), m_held.text24, m_held.text26};
    return e;
}

Voucher ChequeWindow::voucher(Settings settings) const
{
    return chequeVoucher(entries(), settings == Settings::Saved ? m_calibration.values() : m_calibration.typedValues(),
                         QDate::currentDate());
}

} // namespace vouchers
