#include "vouchers/zpdy.h"

#include "reference/customerpicker.h"
#include "reference/customersearch.h"
#include "reference/purposes.h"
#include "store/appdir.h"
#include "store/gridmodel.h"
#include "store/statements.h"
#include "text/amount.h"
#include "text/capitaldate.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_zpdy.h"
#include "vouchers/amountblock.h"

#include <QShowEvent>

namespace vouchers {

namespace {

const QString kPrintTitle = QStringLiteral("打印");

QString dateText(const QDate &d)
{
    return QStringLiteral("%1/%2/%3").arg(d.year()).arg(d.month()).arg(d.day());
}

} // namespace

ChequeWindow::ChequeWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::zpdy), m_calibration(store::appFile(QStringLiteral("mqtx.ini"))),
      m_company(m_connection), m_history(m_connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
    ui->DTPicker1->setLocale(QLocale(QLocale::Chinese, QLocale::China));

    // The stored offsets and switches come first, before any data source.
    for (const KeyBox &kb : chequeKeyBoxes()) {
        QLineEdit *box = findChild<QLineEdit *>(kb.box);
        if (kb.isSwitch)
            m_calibration.addSwitch(kb.key, box);
        else
            m_calibration.addOffset(kb.key, box);
    }
    m_calibration.load();

    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();

    reference::CustomerSearchSetup setup;
    setup.window = this;
    setup.searchField = ui->Text43;
    setup.byName = ui->Command5;
    setup.byInitials = ui->Command6;
    setup.grid = ui->DataGrid1;
    setup.exitButton = ui->Command7;
    setup.focusSearchFieldWhenEmpty = true;
    setup.focusAfterFound = ui->Text21;
    setup.takeOver = [this] { takeOver(); };
    setup.gridCaptions = {QStringLiteral("客户名称"), QStringLiteral("账号"), QStringLiteral("开户行")};
    m_search = new reference::CustomerSearch(m_connection, setup, this);
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

    connect(ui->Command4, &QPushButton::clicked, this, &ChequeWindow::refresh);
    connect(ui->Command2, &QPushButton::clicked, this, &ChequeWindow::openCustomerPicker);
    connect(ui->Command1, &QPushButton::clicked, this, &ChequeWindow::confirmDate);
    connect(ui->Command3, &QPushButton::clicked, this, &ChequeWindow::openPurposePicker);
    connect(ui->Command9, &QPushButton::clicked, this, &ChequeWindow::print);
    connect(ui->Command7, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Command10, &QPushButton::clicked, this, &ChequeWindow::editCalibration);
    connect(ui->Command8, &QPushButton::clicked, this, &ChequeWindow::saveCalibration);
    connect(ui->Option1, &QRadioButton::clicked, this, [this] { chooseBank(true); });
    connect(ui->Option2, &QRadioButton::clicked, this, [this] { chooseBank(false); });
    connect(ui->Option3, &QRadioButton::clicked, this, [this] { chooseCounterfoil(true); });
    connect(ui->Option4, &QRadioButton::clicked, this, [this] { chooseCounterfoil(false); });

    ui::focusOnKey(ui->Text43, Qt::Key_Return, ui->Command6);
    ui::focusOnKey(ui->Text21, Qt::Key_Return, ui->Command1);
    ui::focusOnKey(ui->Text8, Qt::Key_Return, ui->Text19);
    ui::focusOnKey(ui->Text19, Qt::Key_Return, ui->Command9);

    m_printPath = [this](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
        return printVoucher(routine, parent, issued, m_printSettings);
    };
    m_printSettings.documentName = windowTitle();

    applySwitches();
}

ChequeWindow::~ChequeWindow()
{
    // An open picker reports its closing to this window: it must go while the window is whole.
    for (QWidget *picker : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<reference::CustomerPicker *>(picker) || qobject_cast<reference::PurposePicker *>(picker)) {
            picker->disconnect(this);
            delete picker;
        }
    }
    // The customer data source lives on this window's connection and must close before it.
    delete m_search;
    delete ui;
}

store::DataSource &ChequeWindow::customers() { return m_search->customers(); }

void ChequeWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown by the program, not restored by the window system: coming back from another
    // application must not reset the date or move the focus.
    if (!event->spontaneous())
        activate();
}

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
    ui->Text5->setText(counterfoilOn() ? m_held.text101 : QString());
    ui->Text3->setText(bankOn() ? m_held.text2 : QString());
    ui->Text22->setText(bankOn() ? m_held.text4 : QString());
}

void ChequeWindow::purposeChanged()
{
    ui->Text20->setText(ui->Text19->text());
    ui->Text27->setText(counterfoilOn() ? ui->Text19->text() : QString());
}

void ChequeWindow::refresh()
{
    ui->Text43->clear();
    ui->Text43->setFocus();
    customers().setStatement(store::statements::customers());
    customers().refresh();
    takeOver();
}

void ChequeWindow::customerPicked(const QString &name)
{
    m_picked = true;
    m_held.text7 = name;
    m_search->customerPicked(name);
    takeOver();
}

void ChequeWindow::setPurposeText(const QString &text) { ui->Text19->setText(text); }

void ChequeWindow::openCustomerPicker()
{
    auto *picker = new reference::CustomerPicker(QStringLiteral("支票"), this, this);
    m_picked = false;
    connect(picker, &QObject::destroyed, this, [this] {
        customers().setStatement(store::statements::customersBeginningWith(m_held.text7));
        customers().refresh();
        activate();
        if (m_picked && customers().recordCount() == 0)
            ui::tell(this, QStringLiteral("没有名称以“%1”开头的客户。").arg(m_held.text7), QStringLiteral("客户查询"),
                     ui::Icon::Information);
    });
    picker->show();
}

void ChequeWindow::openPurposePicker()
{
    auto *picker = new reference::PurposePicker(QStringLiteral("支票打印"), this, this);
    connect(picker, &QObject::destroyed, this, &ChequeWindow::activate);
    picker->show();
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
    if (!m_calibration.save())
        ui::tell(this, QStringLiteral("设置没有保存：无法写入文件“%1”。").arg(m_calibration.fileName()),
                 QStringLiteral("支票打印设置"), ui::Icon::Warning);
}

ChequeFace ChequeWindow::face() const
{
    ChequeFace f;
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
    for (QLineEdit *cell : {ui->Text9, ui->Text10, ui->Text11, ui->Text12, ui->Text13, ui->Text14, ui->Text15,
                            ui->Text16, ui->Text17, ui->Text18})
        f.cells << cell->text();
    f.counterfoil = counterfoilOn();
    return f;
}

bool ChequeWindow::checkInput()
{
    struct Check {
        QLineEdit *field;
        const char *message;
        QWidget *focus;
    };
    const Check checks[] = {
        {ui->Text21, "请输入支票号码", ui->Text21},
        {ui->Text33, "请确认日期", ui->Command1},
        {ui->Text8, "请输入金额", ui->Text8},
        {ui->Text19, "请输入用途", ui->Text19},
    };
    // Exactly empty: blanks count as content.
    for (const Check &c : checks) {
        if (c.field->text().isEmpty()) {
            ui::tell(this, QString::fromUtf8(c.message), kPrintTitle, ui::Icon::Information);
            c.focus->setFocus();
            return false;
        }
    }
    // The live display writes anything; paper gets only an amount the cheque can carry.
    const text::AmountProblem problem = text::checkPrintable(ui->Text8->text(), text::AmountVariant::TenPlaces);
    if (problem != text::AmountProblem::None) {
        ui::tell(this, text::amountProblemMessage(problem), kPrintTitle, ui::Icon::Information);
        ui->Text8->setFocus();
        return false;
    }
    // A cheque may be completed by hand later, so an empty payee is a question, not a refusal.
    if (ui->Text25->text().trimmed().isEmpty()
        && ui::ask(this, QStringLiteral("收款人为空，仍然打印吗？"), kPrintTitle, ui::Yes | ui::No, ui::Icon::Question,
                   ui::No) != ui::Yes) {
        ui->Text43->setFocus();
        return false;
    }
    return true;
}

void ChequeWindow::print()
{
    // The date the capitals were made from, also when the counterfoil choice "否" has emptied the
    // numeric fields since: the history row must keep a real date.
    m_held.text6 = m_held.confirmed.isValid()
        ? dateText(m_held.confirmed)
        : ui->Text38->text() + QLatin1Char('/') + ui->Text39->text() + QLatin1Char('/') + ui->Text40->text();
    if (!checkInput())
        return;

    HistoryRow row;
    row.printed = QDate::currentDate();
    row.voucherDate = m_held.text6;
    row.type = QStringLiteral("支票");
    row.number = ui->Text21->text();
    row.amount = text::halfWidth(ui->Text8->text()); // what was typed, as ASCII
    row.purpose = ui->Text20->text();
    // The payer's bank and account are recorded whatever the bank switch says.
    row.payerName = m_held.text23;
    row.payerAccount = m_held.text41;
    row.payerBank = m_held.text30;
    row.payeeName = ui->Text25->text();
    row.payeeAccount = m_held.text24;
    row.payeeBank = m_held.text26;

    const ChequeFace f = face();
    const Offsets offsets = m_calibration.values();
    const PrintRoutine routine = [f, offsets](PageWriter &w) { printCheque(w, f, offsets); };
    const Issued issued = [this, row] {
        QString error;
        if (!m_history.append(row, &error))
            ui::tell(this, QStringLiteral("打印记录没有保存：%1").arg(error), kPrintTitle, ui::Icon::Warning);
    };
    m_printSettings.pdfName = QStringLiteral("支票-") + row.payeeName.trimmed();
    m_printPath(routine, this, issued);
}

} // namespace vouchers
