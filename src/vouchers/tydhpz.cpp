#include "vouchers/tydhpz.h"

#include "store/appdir.h"
#include "store/profile.h"
#include "store/statements.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_tydhpz.h"
#include "vouchers/amountblock.h"

namespace vouchers {

namespace {
const QString kSection = QStringLiteral("MyApp");
QString chequeProfile() { return store::appFile(kGeneralPlaceProfile); }
} // namespace

const QList<LayoutBox> &voucherTabBoxes()
{
    static const QList<LayoutBox> boxes = {
        {"Text83", "zhtl"},      {"Text84", "zhtu"},     {"Text85", "rqnl"},    {"Text86", "rqnu"},
        {"Text87", "rqyl"},      {"Text88", "rqrl"},     {"Text89", "hkrqcl"},  {"Text90", "hkrqcu"},
        {"Text92", "hkrzhhu"},   {"Text98", "hchmcu"},   {"Text93", "hcshengl"}, {"Text94", "hcshengu"},
        {"Text95", "hcshil"},    {"Text99", "skrqcl"},   {"Text103", "hrshengl"}, {"Text105", "hrshil"},
        {"Text109", "jedxl"},    {"Text110", "jedxu"},   {"Text111", "jexxl"},  {"Text112", "jexxu"},
        {"Text113", "zhmml"},    {"Text114", "zhmmu"},   {"Text115", "ytl"},    {"Text116", "ytu"},
        {"Text117", "jexxjg"},   {"Text118", "mmjg"},
    };
    return boxes;
}

GeneralWireWindow::GeneralWireWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("通用电汇凭证"), QStringLiteral("通用电汇凭证")), ui(new Ui::tydhpz),
      m_company(connection()), m_layout(connection())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
    m_date = std::make_unique<PickedDate>(ui->DTPicker1, ui->Text33, ui->Text34, ui->Text35);
    printSettings().documentName = windowTitle();

    // The place option lives in memory; only 记注此设置 keeps it. A missing key reads as 0.
    m_placeOption = store::Profile(chequeProfile()).read(kSection, kGeneralPlaceKey);

    reference::CustomerSearchSetup setup;
    setup.searchField = ui->Text43;
    setup.byName = ui->Command5;
    setup.byInitials = ui->Command8;
    setup.grid = ui->DataGrid1;
    setup.exitButton = ui->Command7;
    setup.focusSearchFieldWhenEmpty = true;
    setup.emptyInitialsMessage = QStringLiteral("请输入公司名称名称的字母简称，如蓝石软件输入lsrj");
    setup.focusAfterNameSearch = ui->Text39;
    setup.focusAfterInitialsSearch = ui->Text39;
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
    connect(ui->Text19, &QLineEdit::textChanged, ui->Text20, &QLineEdit::setText);

    connect(ui->Command4, &QPushButton::clicked, search(), &reference::CustomerSearch::showAll);
    connect(ui->Command6, &QPushButton::clicked, this, &GeneralWireWindow::openCustomerPicker);
    connect(ui->Command1, &QPushButton::clicked, this, &GeneralWireWindow::confirmDate);
    connect(ui->Command2, &QPushButton::clicked, this, &GeneralWireWindow::openPurposePicker);
    connect(ui->Option1, &QRadioButton::clicked, this, [this] { choosePlaces(true); });
    connect(ui->Option2, &QRadioButton::clicked, this, [this] { choosePlaces(false); });
    connect(ui->Command9, &QPushButton::clicked, this, &GeneralWireWindow::rememberPlaceOption);
    connect(ui->Command3, &QPushButton::clicked, this, &VoucherWindow::print);
    connect(ui->Command7, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Command13, &QPushButton::clicked, this, &GeneralWireWindow::editLayout);
    connect(ui->Command12, &QPushButton::clicked, this, &GeneralWireWindow::saveLayout);
    connect(ui->Command11, &QPushButton::clicked, this, &GeneralWireWindow::cancelLayout);
    connect(ui->Command10, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->cmdPreview, &QPushButton::clicked, this, &GeneralWireWindow::openFormPreview);

    ui::focusOnKey(ui->Text43, Qt::Key_Return, ui->Command8);
    ui::focusOnKey(ui->Text39, Qt::Key_Return, ui->Command1);
    ui::focusOnKey(ui->Text8, Qt::Key_Return, ui->Text19);
    ui::focusOnKey(ui->Text19, Qt::Key_Return, ui->Command3);

    m_layout.bind(this, voucherTabBoxes());
    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
    takeOver();
    m_layout.show();
    m_layout.setLocked(true);
}

GeneralWireWindow::~GeneralWireWindow() { delete ui; }

void GeneralWireWindow::activate()
{
    m_date->setToday();
    // The layout may have been changed in the settings form; the own company and the customers
    // in their windows.
    m_layout.load();
    m_company.refresh();
    customers().refresh();
    ui->Text43->setFocus();
}

void GeneralWireWindow::takeOver()
{
    ui->Text3->setText(m_company.text(QStringLiteral("gsmc")));
    ui->Text22->setText(m_company.text(QStringLiteral("zhh")));
    ui->Text30->setText(m_company.text(QStringLiteral("khh")));
    m_places.text1 = m_company.text(QStringLiteral("hp"));
    m_places.text26 = m_company.text(QStringLiteral("hc"));
    const store::DataSource &c = customers();
    ui->Text25->setText(c.text(QStringLiteral("gsmc")));
    ui->Text2->setText(c.text(QStringLiteral("zhh")));
    ui->Text23->setText(c.text(QStringLiteral("khh")));
    m_places.text27 = c.text(QStringLiteral("sheng"));
    m_places.text31 = c.text(QStringLiteral("shi"));
    if (!m_layout.load())
        ui::tell(this, QStringLiteral("无法读取通用凭证打印设置：%1").arg(m_layout.errorText()), windowTitle(),
                 ui::Icon::Warning);
    applyPlaceOption();
}

void GeneralWireWindow::applyPlaceOption()
{
    const bool print = text::leadingNumber(m_placeOption) == 1.0;
    ui->Text4->setText(print ? m_places.text1 : QString());
    ui->Text5->setText(print ? m_places.text26 : QString());
    ui->Text6->setText(print ? m_places.text27 : QString());
    ui->Text21->setText(print ? m_places.text31 : QString());
}

void GeneralWireWindow::choosePlaces(bool print)
{
    m_placeOption = print ? QStringLiteral("1") : QStringLiteral("0");
    applyPlaceOption();
}

void GeneralWireWindow::rememberPlaceOption()
{
    // Only this key is written; every other byte of the cheque's profile file stays.
    if (!store::Profile(chequeProfile()).write(kSection, kGeneralPlaceKey, m_placeOption))
        ui::tell(this, QStringLiteral("设置没有保存：无法写入文件“%1”。").arg(chequeProfile()), windowTitle(),
                 ui::Icon::Warning);
}

void GeneralWireWindow::confirmDate()
{
    m_date->confirm();
    ui->Text8->setFocus();
}

void GeneralWireWindow::editLayout()
{
    m_layout.setLocked(false);
    ui->Command10->setEnabled(false);
}

void GeneralWireWindow::saveLayout()
{
    m_layout.take();
    if (!m_layout.save()) {
        ui::tell(this, QStringLiteral("设置没有保存：%1").arg(m_layout.errorText()), QStringLiteral("通用电汇凭证打印机设置"),
                 ui::Icon::Warning);
        return;
    }
    m_layout.setLocked(true);
    // Only the layout is read again: the payer and payee on the voucher stay as they are.
    m_layout.load();
    ui->Command10->setEnabled(true);
}

void GeneralWireWindow::cancelLayout()
{
    m_layout.setLocked(true);
    ui->Command10->setEnabled(true);
}

QList<DataProblem> GeneralWireWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    ui->Text39->setText(data.value(key::number));
    m_date->take(dataDate(data, problems));
    ui->Text8->setText(data.value(key::amount));
    ui->Text19->setText(data.value(key::purpose));
    ui->Text40->setText(data.value(key::paymentCode));
    return problems;
}

void GeneralWireWindow::setCounterparty(const VoucherData &data)
{
    ui->Text25->setText(data.value(key::counterparty));
    ui->Text2->setText(data.value(key::account));
    ui->Text23->setText(data.value(key::bank));
    m_places.text27 = data.value(key::province);
    m_places.text31 = data.value(key::city);
    applyPlaceOption();
}

GeneralEntries GeneralWireWindow::entries() const
{
    GeneralEntries e;
    GeneralFace &f = e.face;
    f.year = ui->Text33->text();
    f.month = ui->Text34->text();
    f.day = ui->Text35->text();
    f.payerName = ui->Text3->text();
    f.payerAccount = ui->Text22->text();
    f.payerProvince = ui->Text4->text();
    f.payerCity = ui->Text5->text();
    f.payerBank = ui->Text30->text();
    f.amountWords = ui->Text28->text();
    f.payeeName = ui->Text25->text();
    f.payeeAccount = ui->Text2->text();
    f.payeeProvince = ui->Text6->text();
    f.payeeCity = ui->Text21->text();
    f.payeeBank = ui->Text23->text();
    f.password = ui->Text40->text();
    f.purpose = ui->Text20->text();
    f.cells = m_amount->cellTexts();
    e.number = ui->Text39->text();
    e.amount = ui->Text8->text();
    e.purpose = ui->Text19->text();
    e.voucherDate = m_date->historyText();
    return e;
}

Voucher GeneralWireWindow::voucher(Settings settings) const
{
    return generalVoucher(entries(), settings == Settings::Saved ? m_layout.offsets() : m_layout.typedOffsets(),
                          QDate::currentDate());
}

QWidget *GeneralWireWindow::focusFor(const QString &key) const
{
    if (key == key::number)
        return ui->Text39;
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
