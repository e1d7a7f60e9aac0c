#include "vouchers/bankformwindow.h"

#include "store/statements.h"
#include "text/numbers.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "vouchers/amountblock.h"
#include "vouchers/ticks.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace vouchers {

BankFormWindow::BankFormWindow(QWidget *parent, const QString &tag)
    : VoucherWindow(parent, tag, tag), m_company(connection()), m_adjust(connection())
{
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
}

BankFormWindow::~BankFormWindow() { delete m_date; }

QLineEdit *BankFormWindow::field(const char *name) const
{
    return findChild<QLineEdit *>(QLatin1String(name));
}

void BankFormWindow::setUp(const Setup &setup)
{
    m_setup = setup;
    auto button = [this](const char *name) { return findChild<QPushButton *>(QLatin1String(name)); };
    printSettings().documentName = windowTitle();

    reference::CustomerSearchSetup search;
    search.searchField = field("Text43");
    search.byName = button("Command5");
    search.byInitials = setup.byInitials;
    search.grid = findChild<QTableView *>(QStringLiteral("DataGrid1"));
    search.exitButton = button("Command7");
    search.focusSearchFieldWhenEmpty = true;
    search.emptyInitialsMessage = setup.initialsEmptyMessage;
    search.focusAfterNameSearch = setup.focusAfterSearch;
    search.focusAfterInitialsSearch = setup.focusAfterSearch;
    // The list shows every column of the customer table.
    search.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                          {QStringLiteral("zhh"), QStringLiteral("帐号"), {}},
                          {QStringLiteral("khh"), QStringLiteral("开户行"), {}},
                          {QStringLiteral("sheng"), QStringLiteral("省/市"), {}},
                          {QStringLiteral("shi"), QStringLiteral("市/县"), {}},
                          reference::initialsColumn()};
    setUpCustomerSearch(search);
    setPurposeField(field("Text19"));
    search.grid->setColumnWidth(0, 240);
    search.grid->setColumnWidth(1, 170);
    search.grid->setColumnWidth(2, 200);

    m_date = new TypedDate(field("Text32"), field("Text36"), field("Text37"), field("Text33"), field("Text34"),
                           field("Text35"));
    m_method = new TickPair(findChild<QCheckBox *>(QStringLiteral("Check1")),
                            findChild<QCheckBox *>(QStringLiteral("Check2")), this);
    m_amount = new AmountBlock(field("Text8"), field("Text28"),
                               {field("Text9"), field("Text10"), field("Text11"), field("Text12"), field("Text13"),
                                field("Text14"), field("Text15"), field("Text16"), field("Text17"), field("Text18"),
                                field("Text29")},
                               text::AmountVariant::ElevenPlaces, this);
    connect(field("Text19"), &QLineEdit::textChanged, field("Text20"), &QLineEdit::setText);

    connect(button("Command4"), &QPushButton::clicked, this->search(), &reference::CustomerSearch::showAll);
    for (QPushButton *picker : setup.customerPickers)
        connect(picker, &QPushButton::clicked, this, &BankFormWindow::openCustomerPicker);
    connect(setup.purposePicker, &QPushButton::clicked, this, &BankFormWindow::openPurposePicker);
    connect(button("Command1"), &QPushButton::clicked, this, &BankFormWindow::confirmDate);
    connect(button("Command3"), &QPushButton::clicked, this, &VoucherWindow::print);
    connect(button("Command7"), &QPushButton::clicked, this, &QWidget::close);
    connect(button("cmdPreview"), &QPushButton::clicked, this, &BankFormWindow::openFormPreview);

    ui::focusOnKey(field("Text43"), Qt::Key_Return, setup.byInitials);
    ui::focusOnKey(field("Text39"), Qt::Key_Return, button("Command1"));
    ui::focusOnKey(field("Text8"), Qt::Key_Return, field("Text19"));
    ui::focusOnKey(field("Text19"), Qt::Key_Return, button("Command3"));

    // The defaults are ticked once, when the window loads: a choice made before a picker was
    // opened must survive its return.
    m_method->tick(0);
    readSources();
    takeOver();
}

void BankFormWindow::readSources()
{
    m_company.setStatement(store::statements::ownCompany());
    m_company.refresh();
    m_adjust.setStatement(store::statements::printOffsets());
    m_adjust.refresh();
}

void BankFormWindow::activate()
{
    readSources();
    m_date->setToday();
    field("Text43")->setFocus();
}

void BankFormWindow::takeOver()
{
    field("Text3")->setText(m_company.text(QStringLiteral("gsmc")));
    field("Text22")->setText(m_company.text(QStringLiteral("zhh")));
    field("Text30")->setText(m_company.text(QStringLiteral("khh")));
    const store::DataSource &c = customers();
    field("Text25")->setText(c.text(QStringLiteral("gsmc")));
    field("Text2")->setText(c.text(QStringLiteral("zhh")));
    field("Text23")->setText(c.text(QStringLiteral("khh")));
    m_offsets = readGlobalOffsets(m_adjust);
}

void BankFormWindow::confirmDate()
{
    if (m_date->confirm(this))
        field("Text8")->setFocus();
}

QList<DataProblem> BankFormWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    field("Text39")->setText(data.value(key::number));
    if (const auto date = dataDate(data, problems)) {
        field("Text32")->setText(QString::number(date->year()));
        field("Text36")->setText(QString::number(date->month()));
        field("Text37")->setText(QString::number(date->day()));
        confirmDate();
    } else {
        for (const char *f : {"Text33", "Text34", "Text35"})
            field(f)->clear();
    }
    field("Text8")->setText(data.value(key::amount));
    field("Text19")->setText(data.value(key::purpose));
    m_setup.paymentCode->setText(data.value(key::paymentCode));
    const QString method = data.value(key::method).trimmed();
    if (method.isEmpty() || method == QStringLiteral("普通"))
        m_method->tick(0);
    else if (method == QStringLiteral("加急"))
        m_method->tick(1);
    else
        problems.append({key::method, QStringLiteral("汇款方式“%1”不对，只能是“普通”或“加急”").arg(method)});
    return problems;
}

void BankFormWindow::setCounterparty(const VoucherData &data)
{
    field("Text25")->setText(data.value(key::counterparty));
    field("Text2")->setText(data.value(key::account));
    field("Text23")->setText(data.value(key::bank));
}

BankFormFace BankFormWindow::baseFace() const
{
    BankFormFace f;
    f.year = field("Text33")->text();
    f.month = field("Text34")->text();
    f.day = field("Text35")->text();
    f.payerName = field("Text3")->text();
    f.payerAccount = field("Text22")->text();
    f.payerBank = field("Text30")->text();
    f.amountWords = field("Text28")->text();
    f.payeeName = field("Text25")->text();
    f.payeeAccount = field("Text2")->text();
    f.payeeBank = field("Text23")->text();
    f.cells = m_amount->cellTexts();
    f.paymentCode = m_setup.paymentCode->text();
    f.purpose = field("Text20")->text();
    return f;
}

BankFormEntries BankFormWindow::entries() const
{
    return {field("Text39")->text(), field("Text8")->text(), m_date->confirmed()};
}

QWidget *BankFormWindow::focusFor(const QString &key) const
{
    if (key == key::number)
        return field("Text39");
    if (key == key::date)
        return findChild<QPushButton *>(QStringLiteral("Command1"));
    if (key == key::amount)
        return field("Text8");
    if (key == key::purpose)
        return field("Text19");
    if (key == key::counterparty)
        return field("Text43");
    return nullptr;
}

} // namespace vouchers
