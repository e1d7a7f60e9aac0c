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
    : VoucherWindow(parent, tag, tag), m_company(connection()), m_adjust(calibrationConnection())
{
    setAttribute(Qt::WA_DeleteOnClose); // 退出 unloads: every opening starts afresh
}

BankFormWindow::~BankFormWindow() { delete m_date; }

void BankFormWindow::setUp(const BankFormFields &fields, const Setup &setup)
{
    m_f = std::make_unique<BankFormFields>(fields);
    m_setup = setup;
    printSettings().documentName = windowTitle();

    reference::CustomerSearchSetup search;
    search.searchField = m_f->search;
    search.byName = m_f->byName;
    search.byInitials = setup.byInitials;
    search.grid = m_f->grid;
    search.exitButton = m_f->exit;
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
    setPurposeField(m_f->purpose);
    search.grid->setColumnWidth(0, 240);
    search.grid->setColumnWidth(1, 170);
    search.grid->setColumnWidth(2, 200);

    m_date = new TypedDate(m_f->typedYear, m_f->typedMonth, m_f->typedDay, m_f->confirmedYear, m_f->confirmedMonth,
                           m_f->confirmedDay);
    m_method = new TickPair(m_f->normal, m_f->urgent, this);
    m_amount = new AmountBlock(m_f->amount, m_f->amountWords, m_f->cells, text::AmountVariant::ElevenPlaces, this);
    connect(m_f->purpose, &QLineEdit::textChanged, m_f->purposeCopy, &QLineEdit::setText);

    connectCommonButtons({m_f->refresh, setup.customerPickers, setup.purposePicker, m_f->print, m_f->preview});
    connect(m_f->confirmDate, &QPushButton::clicked, this, &BankFormWindow::confirmDate);
    connect(m_f->exit, &QPushButton::clicked, this, &QWidget::close);

    ui::focusOnKey(m_f->search, Qt::Key_Return, setup.byInitials);
    ui::focusOnKey(m_f->number, Qt::Key_Return, m_f->confirmDate);
    ui::focusOnKey(m_f->amount, Qt::Key_Return, m_f->purpose);
    ui::focusOnKey(m_f->purpose, Qt::Key_Return, m_f->print);
    // Where a refusal of the print leaves the focus.
    setFocusTargets({{key::number, m_f->number},
                     {key::date, m_f->confirmDate},
                     {key::amount, m_f->amount},
                     {key::purpose, m_f->purpose},
                     {key::counterparty, m_f->search}});

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
    m_f->search->setFocus();
}

void BankFormWindow::takeOver()
{
    m_f->payerName->setText(m_company.text(QStringLiteral("gsmc")));
    m_f->payerAccount->setText(m_company.text(QStringLiteral("zhh")));
    m_f->payerBank->setText(m_company.text(QStringLiteral("khh")));
    const store::DataSource &c = customers();
    m_f->payeeName->setText(c.text(QStringLiteral("gsmc")));
    m_f->payeeAccount->setText(c.text(QStringLiteral("zhh")));
    m_f->payeeBank->setText(c.text(QStringLiteral("khh")));
    m_offsets = readGlobalOffsets(m_adjust);
}

void BankFormWindow::confirmDate()
{
    if (m_date->confirm(this))
        m_f->amount->setFocus();
}

QList<DataProblem> BankFormWindow::fill(const VoucherData &data)
{
    QList<DataProblem> problems = chooseCustomer(data);
    m_f->number->setText(data.value(key::number));
    if (const auto date = dataDate(data, problems)) {
        m_f->typedYear->setText(QString::number(date->year()));
        m_f->typedMonth->setText(QString::number(date->month()));
        m_f->typedDay->setText(QString::number(date->day()));
        confirmDate();
    } else {
        for (QLineEdit *f : {m_f->confirmedYear, m_f->confirmedMonth, m_f->confirmedDay})
            f->clear();
    }
    m_f->amount->setText(data.value(key::amount));
    m_f->purpose->setText(data.value(key::purpose));
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
    m_f->payeeName->setText(data.value(key::counterparty));
    m_f->payeeAccount->setText(data.value(key::account));
    m_f->payeeBank->setText(data.value(key::bank));
}

BankFormFace BankFormWindow::baseFace() const
{
    BankFormFace f;
    m_f->readFace(f);
    f.paymentCode = m_setup.paymentCode->text();
    return f;
}

BankFormEntries BankFormWindow::entries() const
{
    return {m_f->number->text(), m_f->amount->text(), m_date->confirmed()};
}

} // namespace vouchers
