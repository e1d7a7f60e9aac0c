#include "history/historywindow.h"
#include "vouchers/customformstore.h"

#include "store/companies.h"
#include "store/companyhistory.h"

#include "history/columns.h"
#include "history/payeepicker.h"
#include "history/workbookexport.h"
#include "store/appdir.h"
#include "store/gridmodel.h"
#include "store/statements.h"
#include "text/amount.h"
#include "ui/dates.h"
#include "ui/gridbinding.h"
#include "ui/prompter.h"
#include "ui/rowdelete.h"
#include "vouchers/voucherdata.h"
#include "vouchers/voucherwindow.h"
#include "ui_lsjlcx.h"

#include <QPushButton>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLocale>
#include <QProgressDialog>
#include <QShowEvent>

#include <iterator>
#include <memory>

namespace history {

namespace {

const QString kTitle = QStringLiteral("付款查询");

// "5、302、1200" for the user; a long list is cut short: "5、302、……等 40 行".
QString rowList(const QVector<int> &rows)
{
    constexpr int kShown = 10;
    QStringList shown;
    for (int i = 0; i < rows.size() && i < kShown; ++i)
        shown << QString::number(rows.at(i));
    QString text = shown.join(QStringLiteral("、"));
    if (rows.size() > kShown)
        text += QStringLiteral("……等 %1 行").arg(rows.size());
    return text;
}

// The detail fields with the column each shows.
struct Detail {
    const char *field;
    const char *column;
};
constexpr Detail kDetails[] = {
    {"Text1", "dyrq"},  {"Text2", "fkrq"},    {"Text3", "pzlx"},    {"Text4", "pzhm"},
    {"Text5", "fkje"},  {"Text6", "fkyt"},    {"Text7", "fkrmc"},   {"Text8", "fkrzhh"},
    {"Text9", "fkrkhh"}, {"Text10", "skrmc"}, {"Text11", "skrzhh"}, {"Text12", "skrkhh"},
};

constexpr int kColumnWidths[] = {120, 90, 80, 90, 90, 90, 180, 160, 170, 180, 160, 170, 60, 60};

QString defaultAskReason(QWidget *parent, const QString &voucher)
{
    bool ok = false;
    const QString reason = QInputDialog::getText(parent, QStringLiteral("作废"),
                                                 QStringLiteral("作废 %1\n\n作废原因：").arg(voucher), QLineEdit::Normal,
                                                 QStringLiteral("打印错误"), &ok);
    return ok ? reason.trimmed() : QString();
}

QString defaultChooseFile(QWidget *parent, const QString &startPath)
{
    QFileDialog dialog(parent, QStringLiteral("选择保存位置"), startPath,
                       QStringLiteral("电子表格文件(*.xlsx)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

HistoryWindow::HistoryWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::lsjlcx), m_history(m_connection),
      m_chooseFile(&defaultChooseFile), m_askReason(&defaultAskReason)
{
    ui->setupUi(this);
    for (QDateEdit *picker : {ui->DTPicker1, ui->DTPicker2})
        ui::setUpDatePicker(picker);
    // The types the vouchers record; the clerk may type another one an old row holds.
    ui->cboType->addItems({QString(), QStringLiteral("支票"), QStringLiteral("进账单"), QStringLiteral("建行电汇"),
                           QStringLiteral("汇款凭证"), QStringLiteral("农行申请书"), QStringLiteral("交款单")});
    ui->cboType->lineEdit()->setPlaceholderText(QStringLiteral("全部"));
    connect(ui->chkAnyDate, &QCheckBox::toggled, this, [this](bool any) {
        ui->DTPicker1->setEnabled(!any);
        ui->DTPicker2->setEnabled(!any);
    });
    // Enter in a field of the search runs it.
    for (QLineEdit *field : {ui->txtNumber, ui->cboType->lineEdit(), ui->txtAmountFrom, ui->txtAmountTo})
        connect(field, &QLineEdit::returnPressed, this, &HistoryWindow::find);

    connect(ui->Command3, &QPushButton::clicked, this, &HistoryWindow::find);
    // 全部账套, beside 查找 while the user has several 账套.
    m_allCompanies = new QCheckBox(QStringLiteral("全部账套(&L)"), this);
    m_allCompanies->setObjectName(QStringLiteral("chkAllCompanies"));
    m_allCompanies->setToolTip(QStringLiteral("查找时同时查询所有账套的打印记录，另开窗口列出，注明各行的账套"));
    for (QBoxLayout *row : findChildren<QBoxLayout *>())
        if (const int at = row->indexOf(ui->Command3); at >= 0) {
            row->insertWidget(at, m_allCompanies);
            break;
        }
    m_allCompanies->setVisible(store::companies().size() > 1);
    connect(ui->Command4, &QPushButton::clicked, this, &HistoryWindow::refreshAll);
    connect(ui->Command5, &QPushButton::clicked, this, &HistoryWindow::choosePayee);
    connect(ui->Command1, &QPushButton::clicked, this, &HistoryWindow::remove);
    connect(ui->Command8, &QPushButton::clicked, this, &HistoryWindow::voidCurrent);
    connect(ui->Command9, &QPushButton::clicked, this, &HistoryWindow::reprintCurrent);
    connect(ui->Command2, &QPushButton::clicked, this, &HistoryWindow::exit);
    connect(ui->Command6, &QPushButton::clicked, this, &HistoryWindow::chooseFile);
    connect(ui->Command7, &QPushButton::clicked, this, &HistoryWindow::exportRows);

    m_grid = new store::GridModel(m_history, historyColumns(), this);
    m_grid->setRowLook([this](int row, int role) { return rowLook(row, role); });
    ui::bindGrid(ui->DataGrid1, m_grid, [this] { showCurrentRow(); });
    QHeaderView *header = ui->DataGrid1->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setToolTip(QStringLiteral("单击列标题按该列排序，再单击一次反向排序"));
    connect(header, &QHeaderView::sectionClicked, this, &HistoryWindow::sortBy);
    for (int c = 0; c < int(std::size(kColumnWidths)); ++c)
        ui->DataGrid1->setColumnWidth(c, kColumnWidths[c]);
    runQuery(store::statements::history());
    showCurrentRow();
}

HistoryWindow::~HistoryWindow() { delete ui; }

void HistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void HistoryWindow::closeEvent(QCloseEvent *event)
{
    // The close box leaves like 退出: the window stays loaded.
    event->ignore();
    exit();
}

void HistoryWindow::activate()
{
    ui->Text13->setFocus();
    ui->Text15->setText(QDir::toNativeSeparators(store::appDir()));
    const QDate today = QDate::currentDate();
    ui->DTPicker1->setDate(today);
    ui->DTPicker2->setDate(today);
    ui->chkAnyDate->setChecked(false); // the dates are today's again, and they count
}

void HistoryWindow::showCurrentRow()
{
    for (const Detail &d : kDetails) {
        const QString column = QLatin1String(d.column);
        const QVariant v = m_history.value(column);
        const QString text = v.typeId() == QMetaType::QDate ? ui::dateText(v.toDate()) : m_history.text(column);
        findChild<QLineEdit *>(QLatin1String(d.field))->setText(text);
    }
}

bool HistoryWindow::runQuery(const store::Statement &statement)
{
    m_voided = store::voidMarks(m_connection);
    m_query = statement;
    m_history.setStatement(store::statements::historyOrderedBy(statement, m_sortColumn, m_sortDescending));
    const bool ok = m_history.refresh();
    updateTotals();
    if (ok)
        return true;
    ui::tell(this, QStringLiteral("无法读取打印记录：%1").arg(m_history.errorText()), kTitle,
             ui::Icon::Critical);
    return false;
}

void HistoryWindow::updateTotals()
{
    // One aggregate over the rows the query finds, not a walk over the rows of the grid.
    const store::statements::AmountTotal total =
        store::statements::historyAmountTotal(m_history.statement(), m_connection);
    QString text = QStringLiteral("共 %1 行").arg(m_history.recordCount());
    if (total.ok) {
        text += QStringLiteral("，金额合计 %1 元").arg(fenText(total.fen));
        if (total.unreadable > 0)
            text += QStringLiteral("（其中 %1 行的金额不是数字，未计入合计）").arg(total.unreadable);
    } else if (!total.error.isEmpty()) {
        text += QStringLiteral("，金额合计无法计算：%1").arg(total.error);
    }
    ui->lblTotals->setText(text);
}

void HistoryWindow::sortBy(int section)
{
    const QVector<store::GridColumn> columns = historyColumns();
    if (section < 0 || section >= columns.size())
        return;
    const QString column = columns.at(section).column;
    m_sortDescending = column == m_sortColumn && !m_sortDescending;
    m_sortColumn = column;
    QHeaderView *header = ui->DataGrid1->horizontalHeader();
    header->setSortIndicator(section, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
    // The same rows in the new order, the current one still current.
    const store::Bookmark current = m_history.bookmark();
    runQuery(m_query);
    m_history.setBookmark(current);
    showCurrentRow();
}

std::optional<store::statements::HistoryFilter> HistoryWindow::filter()
{
    store::statements::HistoryFilter f;
    f.payee = ui->Text13->text().trimmed();
    f.from = ui->DTPicker1->date();
    f.to = ui->DTPicker2->date();
    f.anyDate = ui->chkAnyDate->isChecked();
    f.number = ui->txtNumber->text().trimmed();
    f.type = ui->cboType->currentText().trimmed();
    QLineEdit *const amounts[] = {ui->txtAmountFrom, ui->txtAmountTo};
    std::optional<qint64> fen[2];
    for (int i = 0; i < 2; ++i) {
        if (amounts[i]->text().trimmed().isEmpty())
            continue;
        fen[i] = text::parseFen(amounts[i]->text());
        if (!fen[i]) {
            ui::tell(this, QStringLiteral("请输入正确的金额，如 1234.50"), QStringLiteral("信息提示"),
                     ui::Icon::Information);
            amounts[i]->setFocus();
            amounts[i]->selectAll();
            return std::nullopt;
        }
    }
    // One amount alone is the amount sought; a second one ends a range.
    f.minFen = fen[0];
    f.maxFen = fen[0] && !fen[1] ? fen[0] : fen[1];
    return f;
}

void HistoryWindow::showAllCompanies(const store::Statement &statement)
{
    const store::CompanyHistory found = store::searchAllCompanies(statement);
    delete m_acrossWindow.data();
    auto *window = new QWidget(this, Qt::Window);
    m_acrossWindow = window;
    window->setObjectName(QStringLiteral("lsjlqb"));
    window->setWindowTitle(QStringLiteral("全部账套的打印记录"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(window);
    const QVector<store::GridColumn> shown = historyColumns();
    auto *grid = new QTableWidget(int(found.rows.size()), int(shown.size()) + 1, window);
    grid->setObjectName(QStringLiteral("Grid1"));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    QStringList captions{QStringLiteral("账套")};
    for (const store::GridColumn &c : shown)
        captions << c.caption;
    grid->setHorizontalHeaderLabels(captions);
    qint64 fen = 0;
    const int amountAt = int(found.columns.indexOf(QStringLiteral("fkje")));
    for (int r = 0; r < found.rows.size(); ++r) {
        const store::CompanyHistoryRow &row = found.rows.at(r);
        grid->setItem(r, 0, new QTableWidgetItem(row.company));
        for (int c = 0; c < shown.size(); ++c) {
            const QVariant value = row.values.value(int(found.columns.indexOf(shown.at(c).column)));
            grid->setItem(r, c + 1, new QTableWidgetItem(shown.at(c).format ? shown.at(c).format(value) : value.toString()));
        }
        if (amountAt >= 0)
            if (const std::optional<qint64> f = text::parseFen(row.values.value(amountAt).toString()))
                fen += *f;
    }
    grid->resizeColumnsToContents();
    QString summary = QStringLiteral("共 %1 条，金额合计 %2 元（包括作废的凭证）。").arg(found.rows.size()).arg(fenText(fen));
    if (!found.problems.isEmpty())
        summary += QStringLiteral("\n") + found.problems.join(QStringLiteral("\n"));
    auto *label = new QLabel(summary, window);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(grid, 1);
    auto *close = new QPushButton(QStringLiteral("退出(&X)"), window);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, window, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    window->resize(qMin(1000, grid->horizontalHeader()->length() + 60), 480);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

void HistoryWindow::find()
{
    const std::optional<store::statements::HistoryFilter> f = filter();
    if (!f)
        return;
    const store::Statement search = store::statements::historySearch(*f);
    if (m_allCompanies->isVisible() && m_allCompanies->isChecked()) {
        showAllCompanies(search);
        return;
    }
    const bool ok = runQuery(search);
    ui->Text13->setFocus();
    if (ok && m_history.recordCount() == 0) {
        const ui::Button again = ui::ask(this, QStringLiteral("没有查询到客户，是否重新查询？"),
                                         QStringLiteral("客户查询"), ui::Yes | ui::No, ui::Icon::Question);
        runQuery(store::statements::history());
        showCurrentRow();
        if (again == ui::Yes) {
            ui->Text13->clear();
            ui->Text13->setFocus();
        } else {
            ui->Command7->setFocus();
        }
        return;
    }
    showCurrentRow();
    ui->Text13->setFocus();
}

void HistoryWindow::refreshAll()
{
    ui->Text13->setFocus();
    runQuery(store::statements::history());
    showCurrentRow();
}

void HistoryWindow::choosePayee()
{
    if (!m_picker) {
        m_picker = new PayeePicker([this](const QString &name) { payeePicked(name); }, this);
        connect(m_picker, &PayeePicker::closed, this, &HistoryWindow::pickerClosed);
    }
    m_picker->show();
    m_picker->raise();
    m_picker->activateWindow();
}

void HistoryWindow::payeePicked(const QString &name)
{
    // Every confirmation lists the chosen payee's rows, also when the same name is picked
    // again after the list was refreshed in between.
    m_pickedPayee = name;
    runQuery(store::statements::historyPayeeBeginsWith(name));
    showCurrentRow();
}

void HistoryWindow::pickerClosed()
{
    // Coming back from the picker is an activation: the focus, the export path and both dates
    // are reset.
    activate();
}

void HistoryWindow::remove()
{
    // Cancel is the default: Enter on the question must not delete a record of a printed voucher.
    store::Bookmark current;
    if (ui::deleteCurrentRow(this, m_history, current,
                             {QStringLiteral("是否删除"), QStringLiteral("删除当前"), true, ui::Cancel})
        == ui::DeleteOutcome::Deleted)
        updateTotals();
    showCurrentRow();
}

QVariant HistoryWindow::rowLook(int row, int role) const
{
    if (m_voided.isEmpty() || (role != Qt::ForegroundRole && role != Qt::FontRole && role != Qt::ToolTipRole))
        return QVariant();
    const auto mark = m_voided.constFind(m_history.valueAt(row, m_history.columnIndex(QStringLiteral("xh"))).toLongLong());
    if (mark == m_voided.cend())
        return QVariant();
    switch (role) {
    case Qt::ForegroundRole: return QColor(Qt::gray);
    case Qt::FontRole: {
        QFont f = ui->DataGrid1->font();
        f.setStrikeOut(true);
        return f;
    }
    default:
        return QStringLiteral("已作废：%1（%2）").arg(mark->reason, mark->when.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    }
}

void HistoryWindow::voidCurrent()
{
    if (!m_history.hasRow()) {
        ui::tell(this, QStringLiteral("请先在表中选择要作废的凭证。"), kTitle, ui::Icon::Information);
        return;
    }
    const qint64 xh = m_history.value(QStringLiteral("xh")).toLongLong();
    const QString voucher = QStringLiteral("%1 %2").arg(m_history.text(QStringLiteral("pzlx")),
                                                        m_history.text(QStringLiteral("pzhm")));
    if (const auto mark = m_voided.constFind(xh); mark != m_voided.cend()) {
        ui::tell(this, QStringLiteral("%1 已于 %2 作废（%3）。").arg(voucher, mark->when.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                                                   mark->reason),
                 kTitle, ui::Icon::Information);
        return;
    }
    const QString reason = m_askReason ? m_askReason(this, voucher) : QString();
    if (reason.isEmpty())
        return; // given up: nothing changes
    QString error;
    if (!store::voidRow(m_connection, xh, reason, QDateTime::currentDateTime(), &error)) {
        ui::tell(this, QStringLiteral("无法作废：%1").arg(error), kTitle, ui::Icon::Critical);
        return;
    }
    m_voided = store::voidMarks(m_connection);
    m_grid->refreshLook();
}

void HistoryWindow::reprintCurrent()
{
    if (!m_history.hasRow()) {
        ui::tell(this, QStringLiteral("请先在表中选择要补打的凭证。"), kTitle, ui::Icon::Information);
        return;
    }
    const QString type = m_history.text(QStringLiteral("pzlx"));
    const vouchers::VoucherKind *kind = nullptr;
    for (const vouchers::VoucherKind *k : vouchers::allVoucherKinds())
        if (k->historyType == type)
            kind = k;
    if (!kind) {
        ui::tell(this, QStringLiteral("“%1”不是本程序能打印的凭证，无法补打。").arg(type), kTitle, ui::Icon::Information);
        return;
    }
    // The customer is the payee of what the own company pays, else the payer.
    const bool customerPaid = kind->customer == QStringLiteral("收款人");
    const QString side = customerPaid ? QStringLiteral("skr") : QStringLiteral("fkr");
    vouchers::VoucherData data;
    data.insert(vouchers::key::counterparty, m_history.text(side + QStringLiteral("mc")));
    data.insert(vouchers::key::account, m_history.text(side + QStringLiteral("zhh")));
    data.insert(vouchers::key::bank, m_history.text(side + QStringLiteral("khh")));
    data.insert(vouchers::key::amount, m_history.text(QStringLiteral("fkje")));
    data.insert(vouchers::key::purpose, m_history.text(QStringLiteral("fkyt")));
    data.insert(vouchers::key::number, m_history.text(QStringLiteral("pzhm")));
    const QVariant paid = m_history.value(QStringLiteral("fkrq"));
    data.insert(vouchers::key::date, paid.typeId() == QMetaType::QDate ? paid.toDate().toString(Qt::ISODate)
                                                                         : m_history.text(QStringLiteral("fkrq")));
    vouchers::VoucherWindow *window = kind->make(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const QList<vouchers::DataProblem> problems =
        window->startReprint(data, m_history.value(QStringLiteral("xh")).toLongLong());
    if (!problems.isEmpty())
        ui::tell(window, QStringLiteral("补打：%1").arg(problems.first().message), kTitle, ui::Icon::Information);
    emit reprintOpened(window);
}

void HistoryWindow::exit()
{
    m_history.update();
    hide();
}

// The file proposed in a folder: 打印记录-<today>.xlsx.
QString proposedExport(const QString &folder)
{
    return QDir(folder).filePath(
        QStringLiteral("打印记录-%1.xlsx").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
}

void HistoryWindow::chooseFile()
{
    const QString current = ui->Text15->text().trimmed();
    const QString start = current.isEmpty() ? store::appDir() : current;
    const QString chosen = m_chooseFile(this, QFileInfo(start).isDir() ? proposedExport(start) : start);
    ui->Text15->setText(chosen.isEmpty() ? QString() : QDir::toNativeSeparators(workbookFileName(chosen)));
}

void HistoryWindow::exportRows()
{
    QString chosen = ui->Text15->text().trimmed();
    if (chosen.isEmpty()) {
        ui::tell(this, QStringLiteral("请选择保存位置"), QStringLiteral("信息提示"), ui::Icon::Information);
        ui->Text15->setFocus();
        return;
    }
    // A folder (the data folder the window starts with) is the place: the file gets the proposed
    // name there, shown before it is written.
    if (QFileInfo(chosen).isDir()) {
        chosen = proposedExport(chosen);
        ui->Text15->setText(QDir::toNativeSeparators(chosen));
    }
    m_history.update();
    if (m_history.recordCount() == 0)
        return; // nothing on display, nothing written

    ExportOptions options;
    std::unique_ptr<QProgressDialog> progress;
    if (m_history.recordCount() > kProgressThreshold) {
        // One step per row and a last one for saving, which compresses the whole sheet and
        // takes a while of its own: the dialog stays up until the file is complete.
        const int rows = std::min(m_history.recordCount(), kSheetDataRows);
        progress = std::make_unique<QProgressDialog>(QStringLiteral("正在导出数据……"), QStringLiteral("取消"),
                                                     0, rows + 1, this);
        progress->setWindowTitle(QStringLiteral("确认导出"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
        options.progress = [&progress](int written, int total) {
            if (written < total) {
                progress->setValue(written);
            } else {
                if (progress->value() != total) {
                    progress->setLabelText(QStringLiteral("正在保存文件……"));
                    progress->setValue(total);
                }
                QCoreApplication::processEvents(); // the value no longer moves; stay responsive
            }
            return !progress->wasCanceled();
        };
    }
    // A voided voucher goes out with its mark, in a column of its own after the history's; an
    // export without one is as it always was.
    QVector<store::GridColumn> columns = historyColumns();
    bool anyVoided = false;
    const int xhPosition = m_history.columnIndex(QStringLiteral("xh"));
    for (int r = 0; !m_voided.isEmpty() && !anyVoided && r < m_history.recordCount(); ++r)
        anyVoided = m_voided.contains(m_history.valueAt(r, xhPosition).toLongLong());
    if (anyVoided) {
        const QHash<qint64, store::VoidMark> marks = m_voided;
        columns.append({QStringLiteral("xh"), QStringLiteral("状态"), [marks](const QVariant &xh) {
                            const auto mark = marks.constFind(xh.toLongLong());
                            return mark == marks.cend() ? QString()
                                                        : QStringLiteral("作废：%1（%2）")
                                                              .arg(mark->reason,
                                                                   mark->when.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
                        }});
    }
    const ExportResult result = exportWorkbook(m_history, columns, chosen, options);
    progress.reset();

    const QString title = QStringLiteral("提示窗口");
    switch (result.status) {
    case ExportResult::Status::Written: {
        ui->Text15->setText(QDir::toNativeSeparators(result.path));
        QString text = QStringLiteral("数据成功导出");
        if (result.truncated())
            text += QStringLiteral("\n表格中有 %1 行数据，一张工作表最多容纳 %2 行，只导出了前 %2 行。")
                        .arg(result.rowsAvailable)
                        .arg(result.rowsWritten);
        if (!result.cutRows.isEmpty())
            text += QStringLiteral("\n工作表第 %1 行有内容超过一个单元格能容纳的 %2 个字符，超出的部分没有导出。")
                        .arg(rowList(result.cutRows))
                        .arg(kCellCharacters);
        if (!result.cleanedRows.isEmpty())
            text += QStringLiteral("\n工作表第 %1 行的内容中有表格文件不能保存的控制字符（如 NUL），这些字符没有导出。")
                        .arg(rowList(result.cleanedRows));
        ui::tell(this, text, title, ui::Icon::Information);
        break;
    }
    case ExportResult::Status::Cancelled:
        ui::tell(this, QStringLiteral("导出已取消，没有保存文件。"), title, ui::Icon::Information);
        break;
    case ExportResult::Status::Failed:
        ui::tell(this, QStringLiteral("数据导出失败，没有保存文件。\n%1").arg(result.error), title,
                 ui::Icon::Critical);
        break;
    case ExportResult::Status::NoRows:
        break;
    }
}

} // namespace history
