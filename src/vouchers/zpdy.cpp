#include "vouchers/zpdy.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/amount.h"
#include "text/capitaldate.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_zpdy.h"
#include "vouchers/amountblock.h"

namespace vouchers {

ChequeWindow::ChequeWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("支票"), QStringLiteral("支票打印")), ui(new Ui::zpdy),
      m_calibration(store::appFile(QStringLiteral("mqtx.ini"))), m_company(connection())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
    ui->DTPicker1->setLocale(QLocale(QLocale::Chinese, QLocale::China));

    // The stored offsets and switches come first, before any data source.
    m_calibration.addKeyBoxes(this, chequeKeyBoxes());
    m_calibration.load();

    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();

    reference::CustomerSearchSetup setup;
    setup.searchField = ui->Text43;
    setup.byName = ui->Command5;
    setup.byInitials = ui->Command6;
    setup.grid = ui->DataGrid1;
    setup.exitButton = ui->Command7;
    setup.focusSearchFieldWhenEmpty = true;
    setup.focusAfterNameSearch = ui->Text21;
    setup.focusAfterInitialsSearch = ui->Text21;
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setUpCustomerSearch(setup);
    setPurposeField(ui->Text19);
    ui->DataGrid1->setColumnWidth(0, 260);
    ui->DataGrid1->setColumnWidth(1, 200);

    m_amount = new AmountBlock(ui->Text8, ui->Text28,
                               {ui->Text9, ui->Text10, ui->Text11, ui->Text12, ui->Text13, ui->Text14, ui->Text15,
                                ui->Text16, ui->Text17, ui->Text18},
                               text::AmountVariant::TenPlaces, this);
    m_amount->setAfterChange([this](const QString &amount) {
        ui->Text29->setText(counterfoilOn() ? text::currencyText(amount) : QString());
    });
    connect(ui->Text19, &QLineEdit::textChanged, this, &ChequeWindow::purposeChanged);

    connect(ui->Command4, &QPushButton::clicked, search(), &reference::CustomerSearch::showAll);
    connect(ui->Command2, &QPushButton::clicked, this, &ChequeWindow::openCustomerPicker);
    connect(ui->Command1, &QPushButton::clicked, this, &ChequeWindow::confirmDate);
    connect(ui->Command3, &QPushButton::clicked, this, &ChequeWindow::openPurposePicker);
    connect(ui->Command9, &QPushButton::clicked, this, &VoucherWindow::print);
    connect(ui->Command7, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Command10, &QPushButton::clicked, this, &ChequeWindow::editCalibration);
    connect(ui->Command8, &QPushButton::clicked, this, &ChequeWindow::saveCalibration);
    connect(ui->cmdPreview, &QPushButton::clicked, this, &ChequeWindow::openFormPreview);
    connect(ui->Option1, &QRadioButton::clicked, this, [this] { chooseBank(true); });
    connect(ui->Option2, &QRadioButton::clicked, this, [this] { chooseBank(false); });
    connect(ui->Option3, &QRadioButton::clicked, this, [this] { chooseCounterfoil(true); });
    connect(ui->Option4, &QRadioButton::clicked, this, [this] { chooseCounterfoil(false); });

    ui::focusOnKey(ui->Text43, Qt::Key_Return, ui->Command6);
    ui::focusOnKey(ui->Text21, Qt::Key_Return, ui->Command1);
    ui::focusOnKey(ui->Text8, Qt::Key_Return, ui->Text19);
    ui::focusOnKey(ui->Text19, Qt::Key_Return, ui->Command9);

    printSettings().documentName = windowTitle();

    applySwitches();
}

ChequeWindow::~ChequeWindow() { delete ui; }

void ChequeWindow::activate()
{
    ui->DTPicker1->setDate(QDate::currentDate());
    applySwitches();
    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
    takeOver();
    m_calibration.setLocked(true);
    ui->Text43->setFocus();
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
    ui->Text3->setText(ownBank);
    m_held.text4 = m_held.text41 = ownAccount;
    ui->Text22->setText(ownAccount);

    const store::DataSource &c = customers();
    const QString payee = c.text(QStringLiteral("gsmc"));
    ui->Text5->setText(payee);
    m_held.text101 = payee;
    ui->Text25->setText(payee);
    m_held.text24 = c.text(QStringLiteral("zhh"));
    m_held.text26 = c.text(QStringLiteral("khh"));
    applySwitches();
}

void ChequeWindow::applySwitches()
{
    const bool stub = counterfoilOn();
    ui->Text5->setText(stub ? m_held.text101 : QString());
    ui->Text3->setText(bankOn() ? m_held.text2 : QString());
    ui->Text22->setText(bankOn() ? m_held.text4 : QString());
    // The counterfoil's other copies follow the switch as well, not only the next change of their
    // entries: a counterfoil switched on after the amount was typed prints the amount.
    ui->Text29->setText(stub ? text::currencyText(ui->Text8->text()) : QString());
    ui->Text27->setText(stub ? ui->Text19->text() : QString());
    if (stub && m_held.confirmed.isValid() && ui->Text38->text().isEmpty()) {
        ui->Text38->setText(QString::number(m_held.confirmed.year()));
        ui->Text39->setText(QString::number(m_held.confirmed.month()));
        ui->Text40->setText(QString::number(m_held.confirmed.day()));
    }
}

void ChequeWindow::purposeChanged()
{
    ui->Text20->setText(ui->Text19->text());
    ui->Text27->setText(counterfoilOn() ? ui->Text19->text() : QString());
}

void ChequeWindow::confirmDate()
{
    const QDate d = ui->DTPicker1->date();
    ui->Text38->setText(QString::number(d.year()));
    ui->Text39->setText(QString::number(d.month()));
    ui->Text40->setText(QString::number(d.day()));
    ui->Text33->setText(text::capitalYear(d.year()));
    if (const auto month = text::capitalMonth(d.month()))
        ui->Text34->setText(*month);
    else
        ui::tell(this, QString::fromUtf8(text::kWrongMonthMessage), QString::fromUtf8(text::kDateMessageTitle));
    if (const auto day = text::capitalDay(d.day()))
        ui->Text35->setText(*day);
    else
        ui::tell(this, QString::fromUtf8(text::kWrongDayMessage), QString::fromUtf8(text::kDateMessageTitle));
    m_held.confirmed = d;
    ui->Text8->setFocus();
}

void ChequeWindow::chooseBank(bool on)
{
    ui->Text3->setText(on ? m_held.text2 : QStringLiteral(" "));
    ui->Text22->setText(on ? m_held.text4 : QStringLiteral(" "));
    ui->Text69->setText(on ? QStringLiteral("1") : QStringLiteral("0"));
}

void ChequeWindow::chooseCounterfoil(bool on)
{
    ui->Text70->setText(on ? QStringLiteral("1") : QStringLiteral("0"));
    if (on) {
        ui->Text5->setText(m_held.text101);
        return;
    }
    for (QLineEdit *f : {ui->Text5, ui->Text38, ui->Text39, ui->Text40, ui->Text29, ui->Text27})
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
    ui->Text21->setText(data.value(key::number));
    if (const auto date = dataDate(data, problems)) {
        ui->DTPicker1->setDate(*date);
        confirmDate();
    } else {
        for (QLineEdit *f : {ui->Text33, ui->Text34, ui->Text35, ui->Text38, ui->Text39, ui->Text40})
            f->clear();
        m_held.confirmed = QDate();
    }
    ui->Text8->setText(data.value(key::amount));
    ui->Text19->setText(data.value(key::purpose));
    return problems;
}

void ChequeWindow::setCounterparty(const VoucherData &data)
{
    const QString name = data.value(key::counterparty);
    ui->Text25->setText(name);
    m_held.text101 = name;
    m_held.text24 = data.value(key::account);
    m_held.text26 = data.value(key::bank);
    applySwitches();
}

ChequeEntries ChequeWindow::entries() const
{
    ChequeEntries e;
    ChequeFace &f = e.face;
    f.year = ui->Text38->text();
    f.month = ui->Text39->text();
    f.day = ui->Text40->text();
    f.counterfoilPayee = ui->Text5->text();
    f.counterfoilAmount = ui->Text29->text();
    f.counterfoilPurpose = ui->Text27->text();
    f.capitalYear = ui->Text33->text();
    f.capitalMonth = ui->Text34->text();
    f.capitalDay = ui->Text35->text();
    f.payee = ui->Text25->text();
    f.bank = ui->Text3->text();
    f.account = ui->Text22->text();
    f.amountWords = ui->Text28->text();
    f.purpose = ui->Text20->text();
    f.cells = m_amount->cellTexts();
    f.counterfoil = counterfoilOn();
    e.number = ui->Text21->text();
    e.amount = ui->Text8->text();
    e.purpose = ui->Text19->text();
    // The date the capitals were made from, also when the counterfoil choice "否" has emptied the
    // numeric fields since: the history row must keep a real date.
    e.voucherDate = m_held.confirmed.isValid()
        ? historyDate(m_held.confirmed)
        : ui->Text38->text() + QLatin1Char('/') + ui->Text39->text() + QLatin1Char('/') + ui->Text40->text();
    e.payer = {m_held.text23, m_held.text41, m_held.text30};
    e.payee = {ui->Text25->text(), m_held.text24, m_held.text26};
    return e;
}

Voucher ChequeWindow::voucher(Settings settings) const
{
    return chequeVoucher(entries(), settings == Settings::Saved ? m_calibration.values() : m_calibration.typedValues(),
                         QDate::currentDate());
}

QWidget *ChequeWindow::focusFor(const QString &key) const
{
    if (key == key::number)
        return ui->Text21;
    if (key == key::date)
        return ui->Command1;
    if (key == key::amount)
        return ui->Text8;
    if (key == key::purpose)
        return ui->Text19;
    if (key == key::counterparty)
        return ui->Text43;
    return nullptr;
}

} // namespace vouchers
