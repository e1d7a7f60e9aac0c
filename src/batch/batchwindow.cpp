#include "batch/batchwindow.h"
#include "vouchers/customformstore.h"

#include "sheets/sheets.h"
#include "ui/prompter.h"
#include "ui_pldy.h"
#include "printing/printerchoice.h"
#include "printing/printing.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QPrinter>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QStandardItemModel>

#include <memory>

namespace batch {

namespace {

const QString kTitle = QStringLiteral("批量打印");
const QColor kProblem(255, 222, 222);
const QColor kRepeat(255, 244, 200);

enum Column { Skip, Row, Customer, Amount, Date, Number, Problems, ColumnCount };

QList<ListRow> listRows(const sheets::Sheet &sheet)
{
    QList<ListRow> rows;
    for (const sheets::Row &r : sheet.rows)
        rows.append({r.sheetRow, r.cells});
    return rows;
}

} // namespace

BatchWindow::BatchWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(ui::setUpForm<Ui::pldy>(this)), m_f(*ui)
{
    setAttribute(Qt::WA_DeleteOnClose);
    for (const vouchers::VoucherKind *k : vouchers::allVoucherKinds())
        m_f.kind->addItem(k->name, k->window);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_f.grid->setModel(m_model);
    m_f.grid->setTabKeyNavigation(false); // one Tab stop; the arrow keys move within
    m_f.grid->verticalHeader()->hide();
    m_f.grid->horizontalHeader()->setStretchLastSection(true);

    chooseList = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("打开付款清单"), vouchers::documentsFolder(),
                                            sheets::openFilter());
    };
    choosePdf = [](QWidget *parent, const QString &proposed) {
        QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("保存为PDF文件"), proposed,
                                                    QStringLiteral("PDF文件 (*.pdf)"));
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        return path;
    };
    chooseTemplate = [](QWidget *parent, const QString &proposed) {
        QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("保存模板"), proposed,
                                                    QStringLiteral("Excel 工作簿 (*.xlsx)"));
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".xlsx");
        return path;
    };
    // The printer chosen for the voucher of the list, or the system's default.
    openPrinter = [this] { return vouchers::printerFor(printing::printerOf(kind().window).info); };

    connect(m_f.kind, &QComboBox::currentIndexChanged, this, &BatchWindow::kindChanged);
    connect(m_f.open, &QPushButton::clicked, this, &BatchWindow::open);
    connect(m_f.reload, &QPushButton::clicked, this, &BatchWindow::reload);
    connect(m_f.saveTemplate, &QPushButton::clicked, this, &BatchWindow::saveTemplate);
    connect(m_f.print, &QPushButton::clicked, this, &BatchWindow::print);
    connect(m_f.savePdf, &QPushButton::clicked, this, &BatchWindow::saveAsPdf);
    connect(m_f.exit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_f.allowRepeats, &QCheckBox::toggled, this, &BatchWindow::runCheck);
    connect(m_model, &QStandardItemModel::itemChanged, this, [this](QStandardItem *item) {
        if (item->column() == Skip)
            updateStatus();
    });
    kindChanged();
    resize(980, 620);
}

BatchWindow::~BatchWindow()
{
    m_check = {};
    m_list.reset(); // the voucher window it holds goes before the rest of this one
    delete ui;
}

const vouchers::VoucherKind &BatchWindow::kind() const
{
    const vouchers::VoucherKind *k = vouchers::findVoucherKind(m_f.kind->currentData().toString());
    return k ? *k : vouchers::voucherKinds().first();
}

void BatchWindow::kindChanged()
{
    m_check = {};
    m_list = std::make_unique<VoucherList>(kind());
    m_model->setHorizontalHeaderLabels({QStringLiteral("跳过"), QStringLiteral("行"), kind().customer,
                                        QStringLiteral("金额"), QStringLiteral("日期"), QStringLiteral("凭证号"),
                                        QStringLiteral("问题")});
    runCheck();
}

void BatchWindow::open()
{
    const QString path = chooseList ? chooseList(this) : QString();
    if (!path.isEmpty())
        load(path);
}

void BatchWindow::load(const QString &path)
{
    m_path = path;
    m_f.path->setText(QDir::toNativeSeparators(path));
    reload();
}

void BatchWindow::reload()
{
    if (m_path.isEmpty()) {
        ui::tell(this, QStringLiteral("请先打开付款清单。"), kTitle, ui::Icon::Information);
        return;
    }
    const sheets::Sheet sheet = sheets::readSheet(m_path);
    m_readError = sheet.error;
    m_header = sheet.header;
    m_rows = listRows(sheet);
    if (!sheet.ok())
        ui::tell(this, sheet.error, kTitle, ui::Icon::Warning);
    runCheck();
}

void BatchWindow::runCheck()
{
    const QSet<int> skipped = skippedRows();
    m_check = {};
    if (!m_path.isEmpty() && m_readError.isEmpty() && m_list)
        m_check = checkList(*m_list, m_header, m_rows, m_f.allowRepeats->isChecked());
    fillGrid();
    for (int row : skipped)
        setSkipped(row, true);
    updateStatus();
}

void BatchWindow::fillGrid()
{
    m_model->removeRows(0, m_model->rowCount());
    auto addRow = [this](int sheetRow, const QStringList &texts, const QList<RowProblem> &problems) {
        QList<QStandardItem *> items;
        auto *skip = new QStandardItem;
        skip->setCheckable(true);
        skip->setEditable(false);
        items << skip << new QStandardItem(QString::number(sheetRow));
        for (const QString &t : texts)
            items << new QStandardItem(t);
        QStringList said;
        bool onlyRepeats = !problems.isEmpty();
        for (const RowProblem &p : problems) {
            said << (p.column.isEmpty() ? p.message : QStringLiteral("“%1”：%2").arg(p.column, p.message));
            onlyRepeats = onlyRepeats && p.repeat;
        }
        items << new QStandardItem(said.join(QStringLiteral("；")));
        for (QStandardItem *i : items) {
            i->setEditable(false);
            if (!problems.isEmpty())
                i->setBackground(onlyRepeats ? kRepeat : kProblem);
        }
        skip->setData(sheetRow, Qt::UserRole);
        m_model->appendRow(items);
    };
    if (!m_check.header.isEmpty())
        addRow(1, {QStringLiteral("（表头）"), {}, {}, {}}, m_check.header);
    for (const Entry &e : m_check.entries)
        addRow(e.sheetRow, {e.counterparty, e.amount, e.date, e.number}, e.problems);
    m_f.grid->resizeColumnsToContents();
    m_f.grid->horizontalHeader()->setSectionResizeMode(Problems, QHeaderView::Stretch);
}

QSet<int> BatchWindow::skippedRows() const
{
    QSet<int> rows;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const QStandardItem *skip = m_model->item(r, Skip);
        if (skip && skip->checkState() == Qt::Checked)
            rows.insert(skip->data(Qt::UserRole).toInt());
    }
    return rows;
}

void BatchWindow::setSkipped(int sheetRow, bool skipIt)
{
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (QStandardItem *skip = m_model->item(r, Skip); skip && skip->data(Qt::UserRole).toInt() == sheetRow)
            skip->setCheckState(skipIt ? Qt::Checked : Qt::Unchecked);
}

void BatchWindow::updateStatus()
{
    if (m_path.isEmpty()) {
        m_f.status->setText(QStringLiteral("请选择凭证种类，打开付款清单（.xlsx、.xls 或 .csv）。“保存模板”写出该凭证清单的表头。"));
        return;
    }
    if (!m_readError.isEmpty()) {
        m_f.status->setText(m_readError);
        return;
    }
    const QSet<int> skipped = skippedRows();
    int withProblems = 0;
    for (const Entry &e : m_check.entries)
        withProblems += !e.problems.isEmpty() && !skipped.contains(e.sheetRow);
    const int ready = int(m_check.toPrint(skipped).size());
    QString text = QStringLiteral("共 %1 行，可打印 %2 张%3，跳过 %4 行。")
                       .arg(m_check.entries.size())
                       .arg(ready)
                       .arg(kind().name)
                       .arg(skipped.size());
    if (!m_check.header.isEmpty())
        text += QStringLiteral("表头缺少必需的列，请修改文件后重新读取。");
    else if (withProblems > 0)
        text += QStringLiteral("有问题的 %1 行请修改文件后“重新读取”，或勾选“跳过”。").arg(withProblems);
    m_f.status->setText(text);
}

void BatchWindow::saveTemplate()
{
    QStringList header;
    QStringList example;
    for (const vouchers::ListColumn &c : kind().columns) {
        header << c.caption;
        example << QString();
    }
    const QString proposed =
        QDir(vouchers::documentsFolder()).filePath(QStringLiteral("%1清单模板.xlsx").arg(kind().name));
    const QString path = chooseTemplate ? chooseTemplate(this, proposed) : QString();
    if (path.isEmpty())
        return;
    QString error;
    if (!sheets::writeTemplate(path, header, {}, &error)) {
        ui::tell(this, QStringLiteral("模板没有保存：%1").arg(error), kTitle, ui::Icon::Warning);
        return;
    }
    ui::tell(this, QStringLiteral("模板已保存到“%1”。").arg(QDir::toNativeSeparators(path)), kTitle,
             ui::Icon::Information);
}

bool BatchWindow::readyToPrint()
{
    if (m_path.isEmpty() || !m_readError.isEmpty()) {
        ui::tell(this, QStringLiteral("请先打开一份能读取的付款清单。"), kTitle, ui::Icon::Information);
        return false;
    }
    const QList<RowProblem> blocking = m_check.blocking(skippedRows());
    if (!blocking.isEmpty()) {
        QStringList lines;
        for (const RowProblem &p : blocking.mid(0, 10))
            lines << p.toString();
        if (blocking.size() > 10)
            lines << QStringLiteral("……共 %1 处").arg(blocking.size());
        ui::tell(this,
                 QStringLiteral("清单中有问题，没有打印：\n%1\n\n请修改文件后“重新读取”，或勾选这些行的“跳过”。")
                     .arg(lines.join(QLatin1Char('\n'))),
                 kTitle, ui::Icon::Warning);
        return false;
    }
    if (m_check.toPrint(skippedRows()).isEmpty()) {
        ui::tell(this, QStringLiteral("没有可打印的凭证。"), kTitle, ui::Icon::Information);
        return false;
    }
    return true;
}

Progress BatchWindow::progressDialog(int total)
{
    auto *dialog = new QProgressDialog(QStringLiteral("正在打印……"), QStringLiteral("取消"), 0, total, this);
    dialog->setWindowTitle(kTitle);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Brought up to date, and asked about its button, every 50 ms rather than for every voucher:
    // a voucher takes a tenth of a millisecond, its label text and repaint longer. The cancel is
    // seen within the next 50 ms.
    auto shown = std::make_shared<QElapsedTimer>();
    return [dialog, shown](int done, int count) {
        if (!shown->isValid() || shown->elapsed() >= 50 || done + 1 == count) {
            shown->start();
            dialog->setLabelText(QStringLiteral("正在打印第 %1 张，共 %2 张……").arg(done + 1).arg(count));
            dialog->setValue(done);
            QCoreApplication::processEvents();
        }
        if (dialog->wasCanceled())
            return false;
        if (done + 1 == count)
            dialog->close(); // the last one is on its way
        return true;
    };
}

void BatchWindow::print()
{
    if (!readyToPrint())
        return;
    const QSet<int> skipped = skippedRows();
    const QList<const Entry *> entries = m_check.toPrint(skipped);
    const printing::PrinterPick pick = printing::printerOf(kind().window);
    if (pick.gone) {
        // Told before anything prints: the clerk decides where the list goes instead.
        switch (printing::askAboutGonePrinter(this, pick.chosen, kTitle)) {
        case printing::GonePrinterAnswer::UseDefault: break;
        case printing::GonePrinterAnswer::SavePdf: saveAsPdf(); return;
        case printing::GonePrinterAnswer::Cancel: return;
        }
    }
    std::unique_ptr<QPrinter> printer = openPrinter ? openPrinter() : nullptr;
    if (!printer) {
        ui::tell(this, QStringLiteral("系统中没有可用的打印机，没有打印。可以“保存为PDF”后在别处打印。"), kTitle,
                 ui::Icon::Warning);
        return;
    }
    printer->setDocName(QStringLiteral("批量打印-%1").arg(kind().name));
    report(printEntries(entries, *printer, progressDialog(int(entries.size()))), int(skipped.size()));
}

void BatchWindow::saveAsPdf()
{
    if (!readyToPrint())
        return;
    const QSet<int> skipped = skippedRows();
    const QList<const Entry *> entries = m_check.toPrint(skipped);
    const QString proposed = QDir(vouchers::documentsFolder())
                                 .filePath(vouchers::proposedPdfFileName(QStringLiteral("批量%1").arg(kind().name),
                                                                         QDateTime::currentDateTime()));
    const QString path = choosePdf ? choosePdf(this, proposed) : QString();
    if (path.isEmpty())
        return;
    report(saveEntriesPdf(entries, path, progressDialog(int(entries.size()))), int(skipped.size()));
}

void BatchWindow::report(const Outcome &out, int skipped)
{
    QString text = QStringLiteral("已打印 %1 张，跳过 %2 行，失败 %3 张。").arg(out.printed).arg(skipped).arg(out.failed);
    if (out.cancelled)
        text += QStringLiteral("\n打印在第 %1 张之后取消，其余没有打印。").arg(out.printed);
    if (!out.error.isEmpty())
        text += QLatin1Char('\n') + out.error;
    if (out.printed > 0 && !out.unrecorded)
        text += QStringLiteral("\n打印的凭证已记入打印查询。");
    ui::tell(this, text, kTitle, out.error.isEmpty() ? ui::Icon::Information : ui::Icon::Warning);
    // Printed rows are in the history now: a second print would repeat them.
    runCheck();
}

} // namespace batch
