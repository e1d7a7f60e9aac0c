#include "vouchers/generalwirewindow.h"

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
QString chequeProfile() { return store::calibrationFile(kGeneralPlaceProfile); }
} // namespace

const QList<LayoutBox> &voucherTabBoxes()
{
    static const QList<LayoutBox> boxes = {
        {"Text83", "zhtl"},    {"Text84", "zhtu"},   {"Text85", "rqnl"},      {"Text86", "rqnu"},
        {"Text87", "rqyl"},    {"Text88", "rqrl"},   {"Text89", "hkrqcl"},    {"Text90", "hkrqcu"},
        {"Text92", "hkrzhhu"}, {"Text98", "hchmcu"}, {"Text93", "hcshengl"},  {"Text94", "hcshengu"},
        {"Text95", "hcshil"},  {"Text99", "skrqcl"}, {"Text103", "hrshengl"}, {"Text105", "hrshil"},
        {"Text109", "jedxl"},  {"Text110", "jedxu"}, {"Text111", "jexxl"},    {"Text112", "jexxu"},
        {"Text113", "zhmml"},  {"Text114", "zhmmu"}, {"Text115", "ytl"},      {"Text116", "ytu"},
        {"Text117", "jexxjg"}, {"Text118", "mmjg"},
    };
    return boxes;
}

GeneralWireWindow::GeneralWireWindow(QWidget *parent)
    : VoucherWindow(parent, QStringLiteral("通用电汇凭证"), QStringLiteral("通用电汇凭证")),
      ui(ui::setUpForm<Ui::tydhpz>(this)), m_f(*ui), m_company(connection()), m_layout(calibrationConnection())
{
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
    m_date = std::make_unique<PickedDate>(m_f.datePicker, m_f.confirmedYear, m_f.confirmedMonth, m_f.confirmedDay);
    printSettings().documentName = windowTitle();

    // The place option lives in memory; only 记注此设置 keeps it. A missing key reads as 0.
    m_placeOption = store::Profile(chequeProfile()).read(kSection, kGeneralPlaceKey);

    reference::CustomerSearchSetup setup;
    setup.searchField = m_f.search;
    setup.byName = m_f.byName;
    setup.byInitials = m_f.byInitials;
    setup.grid = m_f.grid;
    setup.exitButton = m_f.exit;
    setup.focusSearchFieldWhenEmpty = true;
    setup.emptyInitialsMessage = QStringLiteral("请输入公司名称名称的字母简称，如蓝石软件输入lsrj");
    setup.focusAfterNameSearch = m_f.number;
    setup.focusAfterInitialsSearch = m_f.number;
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setUpCustomerSearch(setup);
    setPurposeField(m_f.purpose);
    m_f.grid->setColumnWidth(0, 260);
    m_f.grid->setColumnWidth(1, 200);

    m_amount = new AmountBlock(m_f.amount, m_f.amountWords, m_f.cells, text::AmountVariant::ElevenPlaces, this);
    connect(m_f.purpose, &QLineEdit::textChanged, m_f.purposeCopy, &QLineEdit::setText);

    connectCommonButtons({m_f.refresh, {m_f.pickCustomer}, m_f.pickPurpose, m_f.print, m_f.preview});
    connect(m_f.confirmDate, &QPushButton::clicked, this, &GeneralWireWindow::confirmDate);
    connect(m_f.placesOn, &QRadioButton::clicked, this, [this] { choosePlaces(true); });
    connect(m_f.placesOff, &QRadioButton::clicked, this, [this] { choosePlaces(false); });
    connect(m_f.rememberPlaces, &QPushButton::clicked, this, &GeneralWireWindow::rememberPlaceOption);
    connect(m_f.exit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_f.editLayout, &QPushButton::clicked, this, &GeneralWireWindow::editLayout);
    connect(m_f.saveLayout, &QPushButton::clicked, this, &GeneralWireWindow::saveLayout);
    connect(m_f.cancelLayout, &QPushButton::clicked, this, &GeneralWireWindow::cancelLayout);
    connect(m_f.exitLayout, &QPushButton::clicked, this, &QWidget::close);

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
    m_f.search->setFocus();
}

void GeneralWireWindow::takeOver()
{
    m_f.payerName->setText(m_company.text(QStringLiteral("gsmc")));
    m_f.payerAccount->setText(m_company.text(QStringLiteral("zhh")));
    m_f.payerBank->setText(m_company.text(QStringLiteral("khh")));
    m_places.text1 = m_company.text(QStringLiteral("hp"));
    m_places.text26 = m_company.text(QStringLiteral("hc"));
    const store::DataSource &c = customers();
    m_f.payeeName->setText(c.text(QStringLiteral("gsmc")));
    m_f.payeeAccount->setText(c.text(QStringLiteral("zhh")));
    m_f.payeeBank->setText(c.text(QStringLiteral("khh")));
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
    m_f.payerProvince->setText(print ? m_places.text1 : QString());
    m_f.payerCity->setText(print ? m_places.text26 : QString());
    m_f.payeeProvince->setText(print ? m_places.text27 : QString());
    m_f.payeeCity->setText(print ? m_places.text31 : QString());
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
    m_f.amount->setFocus();
}

void GeneralWireWindow::editLayout()
{
    m_layout.setLocked(false);
    m_f.exitLayout->setEnabled(false);
}

void GeneralWireWindow::saveLayout()
{
    m_layout.take();
    if (!m_layout.save()) {
        ui::tell(this, QStringLiteral("设置没有保存：%1").arg(m_layout.errorText()),
                 QStringLiteral("通用电汇凭证打印机设置"), ui::Icon::Warning);
        return;
    }
    m_layout.setLocked(true);
    // Only the layout is read again: the payer and payee on the voucher stay as they are.
    m_layout.load();
    m_f.exitLayout->setEnabled(true);
}

void GeneralWireWindow::cancelLayout()
{
    m_layout.setLocked(true);
    m_f.exitLayout->setEnabled(true);
}

QList<DataProblem> GeneralWireWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    m_f.number->setText(data.value(key::number));
    m_date->take(dataDate(data, problems));
    m_f.amount->setText(data.value(key::amount));
    m_f.purpose->setText(data.value(key::purpose));
    m_f.password->setText(data.value(key::paymentCode));
    return problems;
}

void GeneralWireWindow::setCounterparty(const VoucherData &data)
{
    m_f.payeeName->setText(data.value(key::counterparty));
    m_f.payeeAccount->setText(data.value(key::account));
    m_f.payeeBank->setText(data.value(key::bank));
    m_places.text27 = data.value(key::province);
    m_places.text31 = data.value(key::city);
    applyPlaceOption();
}

GeneralEntries GeneralWireWindow::entries() const
{
    GeneralEntries e;
    m_f.readFace(e.face);
    e.number = m_f.number->text();
    e.amount = m_f.amount->text();
    e.purpose = m_f.purpose->text();
    e.voucherDate = m_date->historyText();
    return e;
}

Voucher GeneralWireWindow::voucher(Settings settings) const
{
    return generalVoucher(entries(), settings == Settings::Saved ? m_layout.offsets() : m_layout.typedOffsets(),
                          QDate::currentDate());
}

} // namespace vouchers
