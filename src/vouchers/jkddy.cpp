#include "vouchers/jkddy.h"

#include "store/appdir.h"
#include "store/statements.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_jkddy.h"
#include "vouchers/amountblock.h"

namespace vouchers {

NoticeWindow::NoticeWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("交款单"), QStringLiteral("交款单")), ui(new Ui::jkddy),
      m_calibration(store::appFile(QStringLiteral("jkddy.ini"))), m_company(connection())
{
    ui->setupUi(this);
    m_date = std::make_unique<PickedDate>(ui->DTPicker1, ui->Text33, ui->Text34, ui->Text35);
    printSettings().documentName = windowTitle();

    m_calibration.addKeyBoxes(this, noticeKeyBoxes());
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
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setUpCustomerSearch(setup);
    setPurposeField(ui->Text19);
    ui->DataGrid1->setColumnWidth(0, 260);
    ui->DataGrid1->setColumnWidth(1, 200);

    m_amount = new AmountBlock(ui->Text8, ui->Text28,
                               {ui->Text9, ui->Text10, ui->Text11, ui->Text12, ui->Text13, ui->Text14, ui->Text15,
                                ui->Text16, ui->Text17, ui->Text18, ui->Text29},
                               text::AmountVariant::ElevenPlaces, this);
    // The lower texts of the notice follow their entries and may be edited there too.
    for (const auto &[from, to] : {std::pair{ui->Text4, ui->Text21}, {ui->Text5, ui->Text24},
                                   {ui->Text19, ui->Text20}, {ui->Text6, ui->Text26}})
        connect(from, &QLineEdit::textChanged, to, &QLineEdit::setText);

    connect(ui->Command4, &QPushButton::clicked, search(), &reference::CustomerSearch::showAll);
    connect(ui->Command2, &QPushButton::clicked, this, &NoticeWindow::openCustomerPicker);
    connect(ui->Command1, &QPushButton::clicked, this, &NoticeWindow::confirmDate);
    connect(ui->Command9, &QPushButton::clicked, this, &NoticeWindow::openPurposePicker);
    connect(ui->Command11, &QPushButton::clicked, this, &VoucherWindow::print);
    connect(ui->Command7, &QPushButton::clicked, this, &QWidget::hide); // keeps the entries
    connect(ui->Command10, &QPushButton::clicked, this, [this] { m_calibration.setLocked(false); });
    connect(ui->Command6, &QPushButton::clicked, this, &NoticeWindow::saveCalibration);
    connect(ui->cmdPreview, &QPushButton::clicked, this, &NoticeWindow::openFormPreview);

    ui::focusOnKey(ui->Text43, Qt::Key_Return, ui->Command8);
    ui::focusOnKey(ui->Text8, Qt::Key_Return, ui->Text40);
    ui::focusOnKey(ui->Text40, Qt::Key_Return, ui->Text5);
    ui::focusOnKey(ui->Text5, Qt::Key_Return, ui->Command9);
    ui::focusOnKey(ui->Text6, Qt::Key_Return, ui->Command11);

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
    ui->Text25->setText(m_companyShown.value(0));
    ui->Text2->setText(m_companyShown.value(1));
    ui->Text23->setText(m_companyShown.value(2));
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
    ui->Text43->setFocus();
}

void NoticeWindow::takeOver()
{
    const store::DataSource &c = customers();
    ui->Text3->setText(c.text(QStringLiteral("gsmc")));
    ui->Text22->setText(c.text(QStringLiteral("zhh")));
    ui->Text30->setText(c.text(QStringLiteral("khh")));
    fillPayee();
}

void NoticeWindow::confirmDate()
{
    m_date->confirm();
    ui->Text8->setFocus();
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
    ui->Text40->setText(data.value(key::number));
    m_date->take(dataDate(data, problems));
    ui->Text8->setText(data.value(key::amount));
    ui->Text4->setText(data.value(key::billKind));
    ui->Text5->setText(data.value(key::address));
    ui->Text19->setText(data.value(key::purpose));
    ui->Text6->setText(data.value(key::remark));
    return problems;
}

void NoticeWindow::setCounterparty(const VoucherData &data)
{
    ui->Text3->setText(data.value(key::counterparty));
    ui->Text22->setText(data.value(key::account));
    ui->Text30->setText(data.value(key::bank));
}

NoticeEntries NoticeWindow::entries() const
{
    NoticeEntries e;
    NoticeFace &f = e.face;
    f.year = ui->Text33->text();
    f.month = ui->Text34->text();
    f.day = ui->Text35->text();
    f.payerName = ui->Text3->text();
    f.payerAccount = ui->Text22->text();
    f.payerBank = ui->Text30->text();
    f.amountWords = ui->Text28->text();
    f.payeeName = ui->Text25->text();
    f.payeeAccount = ui->Text2->text();
    f.payeeBank = ui->Text23->text();
    f.cells = m_amount->cellTexts();
    f.billKind = ui->Text21->text();
    f.address = ui->Text24->text();
    f.purpose = ui->Text20->text();
    f.remark = ui->Text26->text();
    e.number = ui->Text40->text();
    e.amount = ui->Text8->text();
    e.purpose = ui->Text19->text();
    e.voucherDate = m_date->historyText();
    return e;
}

Voucher NoticeWindow::voucher(Settings settings) const
{
    return noticeVoucher(entries(), settings == Settings::Saved ? m_calibration.values() : m_calibration.typedValues(),
                         QDate::currentDate());
}

QWidget *NoticeWindow::focusFor(const QString &key) const
{
    if (key == key::number)
        return ui->Text40;
    if (key == key::date)
        return ui->Command1;
    if (key == key::amount)
        return ui->Text8;
    if (key == key::purpose)
        return ui->Text19;
    if (key == key::counterparty)
        return ui->Text25;
    return nullptr;
}

} // namespace vouchers
