#include "vouchers/jzddy.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_jzddy.h"
#include "vouchers/amountblock.h"

namespace vouchers {

DepositWindow::DepositWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("进账单"), QStringLiteral("进账单")), ui(new Ui::jzddy),
      m_calibration(store::appFile(QStringLiteral("jzddy.ini"))), m_company(connection())
{
    ui->setupUi(this);
    m_date = std::make_unique<PickedDate>(ui->DTPicker1, ui->Text33, ui->Text34, ui->Text35);
    printSettings().documentName = windowTitle();

    m_calibration.addKeyBoxes(this, depositKeyBoxes());
    m_calibration.load();

    reference::CustomerSearchSetup setup;
    setup.searchField = ui->Text43;
    setup.byName = ui->Command5;
    setup.byInitials = ui->Command8;
    setup.grid = ui->DataGrid1;
    setup.exitButton = ui->Command7;
    setup.focusSearchFieldWhenEmpty = true;
    setup.focusAfterNameSearch = nullptr; // stays in the search field
    setup.focusAfterInitialsSearch = ui->Command1;
    // The list shows every column of the customer table.
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("帐号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}},
                         {QStringLiteral("sheng"), QStringLiteral("省/市"), {}},
                         {QStringLiteral("shi"), QStringLiteral("市/县"), {}},
                         reference::initialsColumn()};
    setUpCustomerSearch(setup);
    setPurposeField(ui->Text19);
    ui->DataGrid1->setColumnWidth(0, 240);
    ui->DataGrid1->setColumnWidth(1, 170);
    ui->DataGrid1->setColumnWidth(2, 200);

    m_amount = new AmountBlock(ui->Text8, ui->Text28,
                               {ui->Text9, ui->Text10, ui->Text11, ui->Text12, ui->Text13, ui->Text14, ui->Text15,
                                ui->Text16, ui->Text17, ui->Text18, ui->Text29},
                               text::AmountVariant::ElevenPlaces, this);
    // The replica's copies follow every change.
    for (const auto &[from, to] : {std::pair{ui->Text4, ui->Text21}, {ui->Text5, ui->Text24}, {ui->Text6, ui->Text26},
                                   {ui->Text19, ui->Text20}})
        connect(from, &QLineEdit::textChanged, to, &QLineEdit::setText);
    ui->Text21->setText(ui->Text4->text());
    ui->Text26->setText(ui->Text6->text());

    connect(ui->Command4, &QPushButton::clicked, search(), &reference::CustomerSearch::showAll);
    connect(ui->Command2, &QPushButton::clicked, this, &DepositWindow::openCustomerPicker);
    connect(ui->Command1, &QPushButton::clicked, this, &DepositWindow::confirmDate);
    connect(ui->Command9, &QPushButton::clicked, this, &DepositWindow::openPurposePicker);
    connect(ui->Command3, &QPushButton::clicked, this, &VoucherWindow::print);
    connect(ui->Command7, &QPushButton::clicked, this, &QWidget::hide); // keeps the entries
    connect(ui->Command10, &QPushButton::clicked, this, [this] { m_calibration.setLocked(false); });
    connect(ui->Command6, &QPushButton::clicked, this, &DepositWindow::saveCalibration);
    connect(ui->cmdPreview, &QPushButton::clicked, this, &DepositWindow::openFormPreview);

    ui::focusOnKey(ui->Text43, Qt::Key_Return, ui->Command8);
    ui::focusOnKey(ui->Text8, Qt::Key_Return, ui->Text5);
    ui::focusOnKey(ui->Text5, Qt::Key_Return, ui->Command9);

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
    ui->Text43->setFocus();
}

void DepositWindow::takeOver()
{
    const store::DataSource &c = customers();
    ui->Text3->setText(c.text(QStringLiteral("gsmc")));
    ui->Text22->setText(c.text(QStringLiteral("zhh")));
    ui->Text30->setText(c.text(QStringLiteral("khh")));
    ui->Text25->setText(m_company.text(QStringLiteral("gsmc")));
    ui->Text2->setText(m_company.text(QStringLiteral("zhh")));
    ui->Text23->setText(m_company.text(QStringLiteral("khh")));
}

void DepositWindow::confirmDate()
{
    m_date->confirm();
    ui->Text8->setFocus();
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
    ui->Text8->setText(data.value(key::amount));
    const QString kind = data.value(key::billKind);
    ui->Text4->setText(kind.isEmpty() ? QStringLiteral("支票") : kind);
    ui->Text5->setText(data.value(key::number));
    const QString count = data.value(key::billCount);
    ui->Text6->setText(count.isEmpty() ? QStringLiteral("1") : count);
    ui->Text19->setText(data.value(key::purpose));
    return problems;
}

void DepositWindow::setCounterparty(const VoucherData &data)
{
    ui->Text3->setText(data.value(key::counterparty));
    ui->Text22->setText(data.value(key::account));
    ui->Text30->setText(data.value(key::bank));
}

DepositEntries DepositWindow::entries() const
{
    DepositEntries e;
    DepositFace &f = e.face;
    f.year = ui->Text33->text();
    f.month = ui->Text34->text();
    f.day = ui->Text35->text();
    f.remitterName = ui->Text3->text();
    f.remitterAccount = ui->Text22->text();
    f.remitterBank = ui->Text30->text();
    f.amountWords = ui->Text28->text();
    f.payeeName = ui->Text25->text();
    f.payeeAccount = ui->Text2->text();
    f.payeeBank = ui->Text23->text();
    f.cells = m_amount->cellTexts();
    f.billKind = ui->Text21->text();
    f.billNumber = ui->Text24->text();
    f.billCount = ui->Text26->text();
    f.purpose = ui->Text20->text();
    e.number = ui->Text5->text();
    e.amount = ui->Text8->text();
    e.purpose = ui->Text19->text();
    e.voucherDate = m_date->historyText(); // the date the year, month and day boxes were made from
    return e;
}

Voucher DepositWindow::voucher(Settings settings) const
{
    return depositVoucher(entries(), settings == Settings::Saved ? m_calibration.values() : m_calibration.typedValues(),
                          QDate::currentDate());
}

QWidget *DepositWindow::focusFor(const QString &key) const
{
    if (key == key::date)
        return ui->Command1;
    if (key == key::amount)
        return ui->Text8;
    if (key == key::purpose)
        return ui->Text19;
    if (key == key::number)
        return ui->Text5;
    if (key == key::counterparty)
        return ui->Text43;
    return nullptr;
}

} // namespace vouchers
