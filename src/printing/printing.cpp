#include "printing/printing.h"

#include "ui/prompter.h"
#include "printing/pagewriter_printer.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSize>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace printing {

namespace {

const QString kTitle = QStringLiteral("打印");

const QString kChoice = QStringLiteral("\n\n可以先预览，或者把票据另存为PDF文件。");

bool isDrawing(const PrintOp &op)
{
    return op.kind == PrintOp::Kind::Text || op.kind == PrintOp::Kind::Line
        || op.kind == PrintOp::Kind::EndDocument;
}

QList<PrintOp> record(const PrintRoutine &routine) { return recordRoutine(routine); }

bool isPageSize(const PrintOp &op) { return op.kind == PrintOp::Kind::PageHeight || op.kind == PrintOp::Kind::PageWidth; }

void tellFailedAfterStart(QWidget *parent)
{
    ui::tell(parent, QStringLiteral("打印过程中出错，票据可能没有打印完整。请检查打印机后重新打印。"), kTitle,
             ui::Icon::Critical);
}

QString notStartedText(const QPrinter &printer)
{
    const QString name = printer.printerName();
    return name.isEmpty() ? QStringLiteral("打印机无法开始打印，没有打印。")
                          : QStringLiteral("打印机“%1”无法开始打印，没有打印。").arg(name);
}

// "Save as PDF" with its own messages; Cancelled when the user chose no file. A complete file is
// an issued voucher.
PrintOutcome saveAsPdf(const QList<PrintOp> &ops, QWidget *parent, const Issued &onIssued,
                       const PrintSettings &settings)
{
    const QString proposed =
        QDir(documentsFolder()).filePath(proposedPdfFileName(settings.pdfName, QDateTime::currentDateTime()));
    const QString path = settings.choosePdfPath ? settings.choosePdfPath(parent, proposed) : QString();
    if (path.isEmpty())
        return PrintOutcome::Cancelled;
    QString error;
    if (!savePdf(ops, path, settings.documentName, &error)) {
        ui::tell(parent, QStringLiteral("PDF文件保存失败：%1").arg(error), kTitle, ui::Icon::Critical);
        return PrintOutcome::Failed;
    }
    if (onIssued)
        onIssued();
    return PrintOutcome::SavedPdf;
}

// Offers the preview and the PDF file in place of the printer.
PrintOutcome offerAlternatives(const QString &why, const QList<PrintOp> &ops, QWidget *parent,
                               const Issued &onIssued, const PrintSettings &settings)
{
    ui::Prompt question;
    question.text = why + kChoice;
    question.title = kTitle;
    question.buttons = ui::Yes | ui::No | ui::Cancel;
    question.icon = ui::Icon::Warning;
    question.parent = parent;
    question.yesCaption = QStringLiteral("预览(&V)");
    question.noCaption = QStringLiteral("另存为PDF(&S)");
    question.cancelCaption = QStringLiteral("取消");
    switch (ui::prompter().ask(question)) {
    case ui::Yes: return previewVoucher(ops, parent, onIssued, settings);
    case ui::No: return saveAsPdf(ops, parent, onIssued, settings);
    default: return PrintOutcome::Cancelled;
    }
}

} // namespace

std::unique_ptr<QPrinter> printerFor(const QPrinterInfo &info)
{
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // The vouchers' positions count from the printable area, as the printer itself does; the
    // page writer sets the margins to the printer's own once the page size is known.
    printer->setFullPage(false);
    return printer;
}

std::unique_ptr<QPrinter> PrintSettings::openDefaultPrinter() { return printerFor(QPrinterInfo::defaultPrinter()); }

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString proposedPdfFileName(const QString &name, const QDateTime &when)
{
    QString base = name.trimmed().isEmpty() ? QStringLiteral("凭证") : name.trimmed();
    for (QChar &c : base) {
        if (c.unicode() < 0x20 || c == QChar(0x7F) || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    // A name made only of dots would hide the file or name a folder.
    if (base.startsWith(QLatin1Char('.')))
        base.prepend(QLatin1Char('_'));
    // File systems hold names of up to 255 bytes; the time and ".pdf" take 20 of them.
    while (base.toUtf8().size() > 200)
        base.chop(1);
    return base + QLatin1Char('-') + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".pdf");
}

QString PrintSettings::askPdfPath(QWidget *parent, const QString &proposedPath)
{
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("另存为PDF文件"), proposedPath,
                                                QStringLiteral("PDF文件 (*.pdf)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return path;
}

JobResult runJob(QPrinter &printer, const QList<PrintOp> &ops, const std::function<void()> &onStarted)
{
    PrinterPageWriter writer(printer);
    // The page size (and whatever else comes before the first drawing) must be known before the
    // job starts: the printer fixes the paper when it begins.
    int i = 0;
    for (; i < ops.size() && !isDrawing(ops[i]); ++i)
        ops[i].applyTo(writer);
    if (!writer.begin())
        return JobResult::NotStarted;
    if (onStarted)
        onStarted();
    for (; i < ops.size(); ++i)
        ops[i].applyTo(writer);
    writer.endDocument(); // a drawing without an end still goes out whole
    return writer.hasFailed() ? JobResult::FailedAfterStart : JobResult::Done;
}

QList<PrintOp> recordRoutine(const PrintRoutine &routine)
{
    RecordingPageWriter recorder;
    routine(recorder);
    return recorder.ops();
}

JobResult runPages(QPrinter &printer, const QList<QList<PrintOp>> &pages, const std::function<bool(int)> &beforePage,
                   int *drawn)
{
    if (drawn)
        *drawn = 0;
    if (pages.isEmpty())
        return JobResult::Done;
    PrinterPageWriter writer(printer);
    // The paper is fixed when the job begins: the first voucher's page size is every page's.
    for (const PrintOp &op : pages.first())
        if (isPageSize(op))
            op.applyTo(writer);
    if (!writer.begin())
        return JobResult::NotStarted;
    for (int p = 0; p < pages.size(); ++p) {
        if (p > 0 && !writer.newPage())
            break;
        if (beforePage && !beforePage(p))
            break;
        for (const PrintOp &op : pages[p])
            if (!isPageSize(op) && op.kind != PrintOp::Kind::EndDocument)
                op.applyTo(writer);
        if (drawn)
            *drawn = p + 1;
    }
    writer.endDocument();
    return writer.hasFailed() ? JobResult::FailedAfterStart : JobResult::Done;
}

// Draws into a PDF file through a temporary file beside it, renamed once complete.
bool writePdfFile(const QString &path, const QString &documentName, QString *error,
                  const std::function<JobResult(QPrinter &)> &draw);

bool savePdfPages(const QList<QList<PrintOp>> &pages, const QString &path, const QString &documentName,
                  const std::function<bool(int)> &beforePage, int *drawn, QString *error)
{
    QString why;
    const bool ok = writePdfFile(path, documentName, &why, [&](QPrinter &printer) {
        return runPages(printer, pages, beforePage, drawn);
    });
    if (!ok && error)
        *error = why;
    return ok;
}

PrintOutcome printVoucher(const PrintRoutine &routine, QWidget *parent, const Issued &onIssued,
                          const PrintSettings &settings)
{
    const QList<PrintOp> ops = record(routine);
    std::unique_ptr<QPrinter> printer = settings.openPrinter ? settings.openPrinter() : nullptr;
    if (!printer)
        return offerAlternatives(QStringLiteral("系统中没有可用的打印机，没有打印。"), ops, parent, onIssued,
                                 settings);
    printer->setDocName(settings.documentName);
    switch (runJob(*printer, ops, onIssued)) {
    case JobResult::Done: return PrintOutcome::Printed;
    case JobResult::FailedAfterStart: tellFailedAfterStart(parent); return PrintOutcome::Failed;
    case JobResult::NotStarted: break;
    }
    const QString why = notStartedText(*printer);
    printer.reset(); // the preview may want the same printer
    return offerAlternatives(why, ops, parent, onIssued, settings);
}

PrintOutcome previewVoucher(const QList<PrintOp> &ops, QWidget *parent, const Issued &onIssued,
                            const PrintSettings &settings)
{
    // The preview shows the paper of the printer a print would go to, margins included.
    std::unique_ptr<QPrinter> printer = settings.openPrinter ? settings.openPrinter() : nullptr;
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
    }
    printer->setDocName(settings.documentName);

    PrintOutcome outcome = PrintOutcome::Previewed;
    QPrintPreviewDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    // Large enough to read the voucher: most of the screen, the page as wide as the view.
    if (const QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        dialog.resize(int(area.width() * 0.85), int(area.height() * 0.85));
        dialog.move(area.center() - dialog.rect().center());
    }
    if (QAction *fitWidth = dialog.findChild<QAction *>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *p) {
        const bool toPrinter = p->outputFormat() == QPrinter::NativeFormat;
        // A printer counts from its printable area, a file from the paper's corner.
        p->setFullPage(!toPrinter);
        // The preview draws into pictures; anything else is the print button sending the job out.
        const QPaintEngine *engine = p->paintEngine();
        const bool previewing = engine && engine->type() == QPaintEngine::Picture;
        if (previewing) {
            runJob(*p, ops);
            return;
        }
        // A printer issues the voucher when its job starts, a file once it is complete.
        switch (runJob(*p, ops, toPrinter ? onIssued : Issued())) {
        case JobResult::Done:
            outcome = toPrinter ? PrintOutcome::Printed : PrintOutcome::SavedPdf;
            if (!toPrinter && onIssued)
                onIssued();
            break;
        case JobResult::NotStarted:
            ui::tell(&dialog, notStartedText(*p), kTitle, ui::Icon::Warning);
            outcome = PrintOutcome::Failed;
            break;
        case JobResult::FailedAfterStart:
            tellFailedAfterStart(&dialog);
            outcome = PrintOutcome::Failed;
            break;
        }
    });
    dialog.exec();
    return outcome;
}

bool writePdfFile(const QString &path, const QString &documentName, QString *error,
                  const std::function<JobResult(QPrinter &)> &draw)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo target(path);
    if (target.isDir())
        return fail(QStringLiteral("“%1”是一个文件夹").arg(QDir::toNativeSeparators(path)));
    // Written beside the target first, so a failure never leaves half a file under the chosen name.
    const QString partial = target.absolutePath() + QStringLiteral("/.") + target.fileName()
        + QStringLiteral(".part");
    QFile::remove(partial);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial);
    printer.setDocName(documentName);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);

    const JobResult result = draw(printer);
    if (result != JobResult::Done || QFileInfo(partial).size() == 0) {
        QFile::remove(partial);
        return fail(QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(path)));
    }
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        return fail(QStringLiteral("无法替换已有的文件“%1”").arg(QDir::toNativeSeparators(path)));
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return fail(QStringLiteral("无法写入“%1”").arg(QDir::toNativeSeparators(path)));
    }
    return true;
}

bool savePdf(const QList<PrintOp> &ops, const QString &path, const QString &documentName, QString *error)
{
    return writePdfFile(path, documentName, error, [&ops](QPrinter &printer) { return runJob(printer, ops); });
}

bool savePdf(const PrintRoutine &routine, const QString &path, const QString &documentName, QString *error)
{
    return savePdf(record(routine), path, documentName, error);
}

} // namespace printing
