#include "vouchers/voucherwindow.h"

#include "reference/customeradd.h"
#include "reference/customerpicker.h"
#include "reference/purposes.h"
#include "store/historymarks.h"
#include "store/numberbooks.h"
#include "store/statements.h"
#include "ui/prompter.h"
#include "ui/windowhabits.h"
#include "vouchers/formpreview.h"
#include "printing/pagewriter_recorder.h"
#include "printing/printerchoice.h"
#include "text/amount.h"
#include "vouchers/printtable.h"
#include "vouchers/repeats.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <functional>

namespace vouchers {

namespace {
const QString kPrintTitle = QStringLiteral("打印");

const VoucherKind *kindOfWindow(const QString &window) { return window.isEmpty() ? nullptr : findVoucherKind(window); }
} // namespace


VoucherWindow::VoucherWindow(QWidget *parent, QString customerTag, QString purposeTag)
    : QWidget(parent, Qt::Window), m_customerTag(std::move(customerTag)), m_purposeTag(std::move(purposeTag))
{
    m_printPath = [this](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
        return printVoucher(routine, parent, issued, m_printSettings);
    };
    // The printer chosen for this voucher, or the system's default.
    m_printSettings.openPrinter = [this] { return printerFor(printing::printerOf(objectName()).info); };
}

VoucherWindow::~VoucherWindow()
{
    // An open picker reports its closing to this window, which is half gone by now: it must
    // go without telling anybody.
    for (QWidget *picker : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<reference::CustomerPicker *>(picker) || qobject_cast<reference::PurposePicker *>(picker)
            || qobject_cast<reference::CustomerAddWindow *>(picker)) {
            picker->disconnect(this);
            delete picker;
        }
    }
    // The customer data source lives on this window's connection and must close before it.
    delete m_search;
}

store::DataSource &VoucherWindow::customers() { return m_search->customers(); }

void VoucherWindow::setUpCustomerSearch(reference::CustomerSearchSetup setup)
{
    setup.window = this;
    setup.takeOver = [this] { takeOver(); };
    m_search = new reference::CustomerSearch(m_connection, std::move(setup), this);
}

void VoucherWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown by the program, not restored by the window system: coming back from another
    // application must not reset the date or move the focus.
    if (!event->spontaneous()) {
        activate();
        proposeNumber();
    }
}

QLineEdit *VoucherWindow::numberField() const { return qobject_cast<QLineEdit *>(focusFor(key::number)); }

void VoucherWindow::proposeNumber()
{
    QLineEdit *field = numberField();
    const VoucherKind *kind = kindOfWindow(objectName());
    if (!field || !kind || !numbersOwnForms(*kind) || !field->text().trimmed().isEmpty() || !m_printerChoice)
        return;
    const Voucher v = voucher(Settings::Saved);
    const QString account = ownAccountOf(*kind, v.row);
    const store::NextNumber next = store::nextNumber(m_connection, historyKeyOf(*kind), kind->window, account);
    if (next.usedUp) {
        m_printerChoice->setNotice(
            QStringLiteral("账号 %1 的%2号码簿已用完，请在“凭证号码簿”中登记新的号码簿。").arg(account, kind->name));
        return;
    }
    if (next.number.isEmpty())
        return;
    field->setText(next.number);
    if (next.left <= 5)
        m_printerChoice->setNotice(QStringLiteral("号码簿 %1–%2 只剩 %3 个号码（%4 起）。")
                                       .arg(next.book.first, next.book.last)
                                       .arg(next.left)
                                       .arg(next.number));
}

void VoucherWindow::customerPicked(const QString &name)
{
    m_picked = true;
    m_pickedName = name;
    m_search->customerPicked(name);
    takeOver();
}

void VoucherWindow::setPurposeText(const QString &text)
{
    if (!m_purposeField)
        return;
    m_purposeField->clear();
    m_purposeField->setText(text);
}

void VoucherWindow::connectCommonButtons(const CommonButtons &b)
{
    connect(b.refresh, &QPushButton::clicked, m_search, &reference::CustomerSearch::showAll);
    for (QPushButton *picker : b.customerPickers)
        connect(picker, &QPushButton::clicked, this, &VoucherWindow::openCustomerPicker);
    connect(b.purposePicker, &QPushButton::clicked, this, &VoucherWindow::openPurposePicker);
    connect(b.print, &QPushButton::clicked, this, &VoucherWindow::print);
    connect(b.preview, &QPushButton::clicked, this, &VoucherWindow::openFormPreview);
    placePrinterChoice(b.print);
}

namespace {
// Runs its work whenever a watched widget moves, changes size or shows.
class LayoutFollower : public QObject {
public:
    LayoutFollower(std::function<void()> then, QObject *parent) : QObject(parent), m_then(std::move(then)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)
            m_then();
        return false;
    }

private:
    std::function<void()> m_then;
};
} // namespace

void VoucherWindow::placePrinterChoice(QPushButton *print)
{
    QWidget *page = print->parentWidget();
    m_printerChoice = new printing::PrinterChoice(objectName(), page);
    setTabOrder(print, m_printerChoice->box());
    // In the row of 打印, from the left edge of the page's contents to the first button of that
    // row; kept there when the window lays its buttons out again.
    const auto place = [this, print, page] {
        const QRect row(0, print->y(), page->width(), print->height());
        int left = page->width(), right = page->width();
        for (QWidget *w : page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w == m_printerChoice || w->isHidden())
                continue;
            left = qMin(left, w->x());
            if (w->geometry().intersects(row))
                right = qMin(right, w->x());
        }
        left = qMin(left, 12);
        const int height = m_printerChoice->sizeHint().height();
        m_printerChoice->setGeometry(left, print->y() + (print->height() - height) / 2, qMax(0, right - 12 - left),
                                     height);
    };
    auto *follower = new LayoutFollower(place, m_printerChoice);
    print->installEventFilter(follower);
    page->installEventFilter(follower);
    place();
}

void VoucherWindow::openCustomerPicker()
{
    auto *picker = new reference::CustomerPicker(m_customerTag, this, this);
    m_picked = false;
    connect(picker, &QObject::destroyed, this, [this] {
        customers().setStatement(store::statements::customersBeginningWith(m_pickedName));
        customers().refresh();
        activate();
        takeOver();
        if (m_picked && customers().recordCount() == 0 && !m_pickedName.trimmed().isEmpty())
            offerNewCustomer(m_pickedName);
    });
    picker->show();
}

void VoucherWindow::offerNewCustomer(const QString &name)
{
    const QString question = QStringLiteral("没有名称以“%1”开头的客户。\n\n是否把“%1”添加为新客户？"
                                            "添加后回到本凭证，并以它作为本凭证的客户。")
                                 .arg(name);
    if (ui::ask(this, question, QStringLiteral("客户查询"), ui::Yes | ui::No, ui::Icon::Question, ui::Yes) != ui::Yes)
        return;
    auto *add = new reference::CustomerAddWindow(this);
    add->setWindowModality(Qt::ApplicationModal);
    add->startWithName(name);
    // Saved: the window goes and the new customer is this voucher's, as if picked.
    connect(add, &reference::CustomerAddWindow::added, this, [this, add](const QString &saved) {
        add->close();
        customerPicked(saved);
    });
    connect(add, &QObject::destroyed, this, &VoucherWindow::activate);
    add->show();
}

void VoucherWindow::openPurposePicker()
{
    auto *picker = new reference::PurposePicker(m_purposeTag, this, this);
    connect(picker, &QObject::destroyed, this, &VoucherWindow::activate);
    picker->show();
}

void VoucherWindow::print()
{
    const Voucher v = voucher(Settings::Saved);
    const Review r = review(v, m_connection, [this](const Question &q) {
        return ui::ask(this, q.text, kPrintTitle, ui::Yes | ui::No, ui::Icon::Question, ui::No) == ui::Yes;
    });
    m_refusedKey = r.key;
    switch (r.outcome) {
    case Review::Outcome::Refused:
        ui::tell(this, r.message, kPrintTitle, ui::Icon::Information);
        if (QWidget *f = focusFor(r.key))
            f->setFocus();
        return;
    case Review::Outcome::Declined:
        if (r.key == key::counterparty)
            if (QWidget *f = focusFor(r.key))
                f->setFocus();
        return;
    case Review::Outcome::Ready: break;
    }
    // Two vouchers of one number are a real loss: a number printed before is a question.
    const VoucherKind *kind = kindOfWindow(objectName());
    const bool reprint = m_reprintOf > 0 && v.row.number == m_reprintNumber;
    if (kind && numbersOwnForms(*kind) && !reprint && !v.row.number.trimmed().isEmpty()) {
        if (const std::optional<QDate> day = store::numberPrinted(m_connection, historyKeyOf(*kind),
                                                                  ownAccountOf(*kind, v.row), v.row.number)) {
            const QString question = QStringLiteral("%1%2已于%3打印，仍然打印吗？")
                                         .arg(kind->captionOf(key::number), v.row.number,
                                              day->toString(QStringLiteral("yyyy-MM-dd")));
            if (ui::ask(this, question, kPrintTitle, ui::Yes | ui::No, ui::Icon::Question, ui::No) != ui::Yes) {
                m_refusedKey = key::number;
                if (QWidget *f = focusFor(key::number))
                    f->setFocus();
                return;
            }
        }
    }
    // Recorded around the hand-over: the history holds the voucher exactly when it went out.
    m_printSettings.pdfName = v.pdfName;
    const printing::PrinterPick pick = printing::printerOf(objectName());
    if (pick.gone) {
        // Told before anything prints: the clerk decides where this voucher goes instead.
        switch (printing::askAboutGonePrinter(this, pick.chosen, kPrintTitle)) {
        case printing::GonePrinterAnswer::UseDefault: break; // the voucher's printer is the default while its own is gone
        case printing::GonePrinterAnswer::SavePdf:
            if (saveVoucherAsPdf(v.routine, this, recordOf(m_connection, {v.row}), m_printSettings)
                == PrintOutcome::SavedPdf) {
                noticePrint(v.row, QString());
                numberAfterPrint(v.row);
            }
            return;
        case printing::GonePrinterAnswer::Cancel: return;
        }
    }
    const PrintOutcome outcome = m_printPath(v.routine, this, recordOf(m_connection, {v.row}));
    if (outcome == PrintOutcome::Printed)
        noticePrint(v.row, pick.info.printerName());
    else if (outcome == PrintOutcome::SavedPdf)
        noticePrint(v.row, QString());
    if (outcome == PrintOutcome::Printed || outcome == PrintOutcome::SavedPdf) {
        if (reprint) {
            // The new row says which it prints again; once, for this print only.
            QString error;
            const qint64 xh = store::newestRow(m_connection, v.row.type, v.row.number);
            if (xh <= 0 || !store::markReprint(m_connection, xh, m_reprintOf, &error))
                ui::tell(this, QStringLiteral("补打已打印，但无法记为补打：%1").arg(error), kPrintTitle, ui::Icon::Warning);
            m_reprintOf = 0;
            m_reprintNumber.clear();
        }
        numberAfterPrint(v.row);
    }
}

QList<DataProblem> VoucherWindow::startReprint(const VoucherData &data, qint64 xh)
{
    QList<DataProblem> problems = fill(data);
    // As the row holds them, whatever the address book says today.
    if (!data.value(key::account).isEmpty() || !data.value(key::bank).isEmpty())
        setCounterparty(data);
    m_reprintOf = xh;
    m_reprintNumber = data.value(key::number);
    return problems;
}

QString VoucherWindow::entriesShown() const
{
    const auto textOf = [this](const QString &k) {
        const auto *edit = qobject_cast<const QLineEdit *>(focusFor(k));
        return edit ? edit->text().trimmed() : QString();
    };
    const QString amount = textOf(key::amount);
    return amount.isEmpty() ? QString() : amount + QChar(0x1f) + textOf(key::counterparty);
}

bool VoucherWindow::holdsUnprintedEntries() const
{
    const QString shown = entriesShown();
    return !shown.isEmpty() && shown != m_printedEntries;
}

void VoucherWindow::numberAfterPrint(const HistoryRow &row)
{
    m_printedEntries = entriesShown();
    // A number of a registered book runs on: the next one stands in the field for the next form.
    QLineEdit *field = numberField();
    const VoucherKind *kind = kindOfWindow(objectName());
    if (!field || !kind || !m_printerChoice)
        return;
    for (const store::NumberBook &book : store::numberBooks(m_connection)) {
        if (book.kind == kind->window && book.account == ownAccountOf(*kind, row) && book.holds(row.number)) {
            const QString issued = m_printerChoice->notice();
            m_printerChoice->setNotice(QString());
            field->clear();
            proposeNumber();
            const QString warning = m_printerChoice->notice();
            m_printerChoice->setNotice(warning.isEmpty() ? issued : issued + QStringLiteral("；") + warning);
            return;
        }
    }
}

void VoucherWindow::noticePrint(const HistoryRow &row, const QString &printer)
{
    if (!m_printerChoice)
        return;
    // The customer of the voucher: the payee of a cheque or a wire, the payer of a deposit slip.
    const VoucherKind *kind = kindOfWindow(objectName());
    const bool customerPaid = !kind || kind->customer == QStringLiteral("收款人");
    const QString counterparty = customerPaid ? row.payeeName : row.payerName;
    QStringList parts{QStringLiteral("%1 %2").arg(printer.isEmpty() ? QStringLiteral("已另存为PDF") : QStringLiteral("已打印"),
                                                  row.number.isEmpty() ? row.type : row.type + QLatin1Char(' ') + row.number)};
    if (!counterparty.isEmpty())
        parts << counterparty;
    const QString amount = text::currencyText(row.amount);
    if (!amount.isEmpty())
        parts << amount;
    if (!printer.isEmpty())
        parts << QStringLiteral("打印机 %1").arg(printer);
    m_printerChoice->setNotice(parts.join(QStringLiteral(" · ")));
}

void VoucherWindow::openFormPreview()
{
    auto *preview = new FormPreviewWindow(objectName(), [this] { return previewRoutine(); }, this);
    preview->setWindowTitle(QStringLiteral("套打预览 - %1").arg(windowTitle()));
    // Beside the boxes it redraws from, so that a clerk sees both while typing offsets.
    ui::showBeside(preview, this, calibrationBoxes());
}

QList<DataProblem> VoucherWindow::chooseCustomer(const VoucherData &data)
{
    const QString name = data.value(key::counterparty);
    customers().setStatement(store::statements::customersNamed(name));
    customers().refresh();
    takeOver();
    // Two customers of one name may have two accounts: a list cannot say which one it means.
    if (customers().recordCount() > 1)
        return {{key::counterparty, QStringLiteral("客户资料中有 %1 个同名客户，请在客户管理中改名或删除其一")
                                        .arg(customers().recordCount())}};
    if (customers().recordCount() > 0 || name.isEmpty())
        return {};
    // Not in the address book: the list must say where the money goes or comes from.
    if (data.value(key::account).trimmed().isEmpty() || data.value(key::bank).trimmed().isEmpty())
        return {{key::counterparty,
                 QStringLiteral("“%1”不在客户资料中，请在客户设置中添加，或在本行填写账号和开户行").arg(name)}};
    setCounterparty(data);
    return {};
}

std::optional<QDate> VoucherWindow::dataDate(const VoucherData &data, QList<DataProblem> &problems)
{
    const QString text = data.value(key::date);
    if (text.trimmed().isEmpty())
        return std::nullopt; // the window's own check asks for the date
    const std::optional<QDate> date = listDate(text);
    if (!date)
        problems.append({key::date, QStringLiteral("日期“%1”不正确，应写作2010-04-14").arg(text)});
    return date;
}

} // namespace vouchers
