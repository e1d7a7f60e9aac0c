#include "vouchers/numberbookwindow.h"
#include "vouchers/customformstore.h"

#include "store/datasource.h"
#include "store/numberbooks.h"
#include "store/statements.h"
#include "ui/prompter.h"
#include "vouchers/voucherdata.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vouchers {

namespace {

const QString kTitle = QStringLiteral("凭证号码簿");

// The kinds whose numbers are the own company's forms.
QList<const VoucherKind *> numberedKinds()
{
    QList<const VoucherKind *> kinds;
    for (const VoucherKind *k : allVoucherKinds())
        if (numbersOwnForms(*k))
            kinds << k;
    return kinds;
}

const VoucherKind *kindOf(const QString &window)
{
    for (const VoucherKind *k : numberedKinds())
        if (k->window == window)
            return k;
    return nullptr;
}

} // namespace

NumberBookWindow::NumberBookWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_grid(new QTableWidget(this)), m_kind(new QComboBox(this)),
      m_account(new QLineEdit(this)), m_first(new QLineEdit(this)), m_last(new QLineEdit(this))
{
    setObjectName(QStringLiteral("hmb"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid->setObjectName(QStringLiteral("GridBooks"));
    m_grid->setColumnCount(6);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("凭证种类"), QStringLiteral("账号"), QStringLiteral("起始号码"),
                                       QStringLiteral("终止号码"), QStringLiteral("下一号码"), QStringLiteral("剩余")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setMinimumSectionSize(96);

    m_kind->setObjectName(QStringLiteral("ComboKind"));
    for (const VoucherKind *k : numberedKinds())
        m_kind->addItem(k->name, k->window);
    m_account->setObjectName(QStringLiteral("TextAccount"));
    m_first->setObjectName(QStringLiteral("TextFirst"));
    m_last->setObjectName(QStringLiteral("TextLast"));
    const auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,16}")), this);
    m_first->setValidator(digits);
    m_last->setValidator(digits);
    m_first->setPlaceholderText(QStringLiteral("例如 10203001"));
    m_last->setPlaceholderText(QStringLiteral("例如 10203025"));
    // The own company's account, as its vouchers carry it.
    store::DataSource own(m_connection);
    own.setStatement(store::statements::ownCompany());
    if (own.refresh() && own.hasRow())
        m_account->setText(own.text(QStringLiteral("zhh")));

    auto *form = new QFormLayout;
    const auto labelled = [form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    labelled(QStringLiteral("凭证种类(&K)："), m_kind);
    labelled(QStringLiteral("本单位账号(&U)："), m_account);
    labelled(QStringLiteral("起始号码(&F)："), m_first);
    labelled(QStringLiteral("终止号码(&L)："), m_last);

    auto *addButton = new QPushButton(QStringLiteral("添加(&A)"), this);
    addButton->setObjectName(QStringLiteral("CommandAdd"));
    auto *removeButton = new QPushButton(QStringLiteral("删除(&D)"), this);
    removeButton->setObjectName(QStringLiteral("CommandDelete"));
    auto *closeButton = new QPushButton(QStringLiteral("关闭(&C)"), this);
    closeButton->setObjectName(QStringLiteral("CommandClose"));
    connect(addButton, &QPushButton::clicked, this, &NumberBookWindow::add);
    connect(removeButton, &QPushButton::clicked, this, &NumberBookWindow::remove);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_last, &QLineEdit::returnPressed, this, &NumberBookWindow::add);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto *hint = new QLabel(QStringLiteral("凭证窗口的号码为空时，自动填入该账号号码簿中下一个未用的号码；"
                                           "打印后接着填入再下一个。"),
                            this);
    hint->setWordWrap(true);
    auto *all = new QVBoxLayout(this);
    all->addWidget(m_grid, 1);
    all->addLayout(form);
    all->addWidget(hint);
    all->addLayout(buttons);
    resize(720, 480);
    refresh();
}

void NumberBookWindow::refresh()
{
    QString error;
    const QList<store::NumberBook> books = store::numberBooks(m_connection, &error);
    if (!error.isEmpty())
        ui::tell(this, QStringLiteral("号码簿无法读取：%1").arg(error), kTitle, ui::Icon::Critical);
    m_grid->setRowCount(int(books.size()));
    for (int r = 0; r < books.size(); ++r) {
        const store::NumberBook &b = books.at(r);
        const VoucherKind *k = kindOf(b.kind);
        const QString next = k ? store::nextInBook(m_connection, historyKeyOf(*k), b) : QString();
        const QString left = next.isEmpty() ? QStringLiteral("已用完")
                                            : QString::number(b.last.toLongLong() - next.toLongLong() + 1);
        const QStringList cells{k ? k->name : b.kind, b.account, b.first, b.last, next, left};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            item->setData(Qt::UserRole, b.id);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
}

void NumberBookWindow::add()
{
    store::NumberBook book;
    book.kind = m_kind->currentData().toString();
    book.account = m_account->text().trimmed();
    book.first = m_first->text().trimmed();
    book.last = m_last->text().trimmed();
    QString error;
    const QList<store::NumberBook> others = store::numberBooks(m_connection, &error);
    const QString problem = error.isEmpty() ? store::numberBookProblem(book, others) : error;
    if (!problem.isEmpty()) {
        ui::tell(this, problem, kTitle, ui::Icon::Information);
        (book.account.isEmpty() ? m_account : m_first)->setFocus();
        return;
    }
    if (!store::addNumberBook(m_connection, &book, &error)) {
        ui::tell(this, QStringLiteral("号码簿无法保存：%1").arg(error), kTitle, ui::Icon::Critical);
        return;
    }
    m_first->clear();
    m_last->clear();
    refresh();
    m_first->setFocus();
}

void NumberBookWindow::remove()
{
    const int row = m_grid->currentRow();
    if (row < 0 || !m_grid->item(row, 0)) {
        ui::tell(this, QStringLiteral("请先在表中选择要删除的号码簿。"), kTitle, ui::Icon::Information);
        return;
    }
    const QString range = QStringLiteral("%1 %2–%3").arg(m_grid->item(row, 0)->text(), m_grid->item(row, 2)->text(),
                                                        m_grid->item(row, 3)->text());
    if (ui::ask(this, QStringLiteral("删除号码簿 %1 吗？\n\n已打印的凭证和打印记录不受影响。").arg(range), kTitle,
                ui::Yes | ui::No, ui::Icon::Question, ui::No)
        != ui::Yes)
        return;
    QString error;
    if (!store::removeNumberBook(m_connection, m_grid->item(row, 0)->data(Qt::UserRole).toLongLong(), &error))
        ui::tell(this, QStringLiteral("号码簿无法删除：%1").arg(error), kTitle, ui::Icon::Critical);
    refresh();
}

} // namespace vouchers
