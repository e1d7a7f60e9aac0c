#include "printing/printing.h"

#include "ui/prompter.h"
#include "printing/pagewriter_printer.h"
#include "printing/spooler.h"
#include "store/failures.h"

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
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace printing {

namespace {

const QString kTitle = QStringLiteral("打印");

const QString kChoice = QStringLiteral("\n\n可以先预览，或者把票据另存为PDF文件。");

QList<PrintOp> record(const PrintRoutine &routine) { return recordRoutine(routine); }

bool isPageSize(const PrintOp &op) { return op.kind == PrintOp::Kind::PageHeight || op.kind == PrintOp::Kind::PageWidth; }

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
    if (!savePdf(ops, path, settings.documentName, &error, onIssued)) {
        ui::tell(parent, QStringLiteral("PDF文件保存失败：%1").arg(error), kTitle, ui::Icon::Critical);
        return PrintOutcome::Failed;
    }
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

QList<PrintOp> recordRoutine(const PrintRoutine &routine)
{
    RecordingPageWriter recorder;
    routine(recorder);
    return recorder.ops();
}

namespace {

// Draws the pages on the printer as one document; false when the printer would not start it.
Pages pagesOf(const QList<QList<PrintOp>> &pages)
{
    return {int(pages.size()), [&pages](int p) { return pages[p]; }};
}

bool drawPages(QPrinter &printer, const Pages &pages, const std::function<bool(int)> &beforePage, int *drawn,
               bool *failed)
{
    *drawn = 0;
    *failed = false;
    PrinterPageWriter writer(printer);
    QList<PrintOp> ops = pages.page(0);
    // The paper is fixed when the job begins: the first voucher's page size is every page's.
    for (const PrintOp &op : std::as_const(ops))
        if (isPageSize(op))
            op.applyTo(writer);
    if (!writer.begin())
        return false;
    for (int p = 0; p < pages.count; ++p) {
        if (p > 0 && !writer.newPage())
            break;
        if (beforePage && !beforePage(p))
            break;
        if (p > 0)
            ops = pages.page(p);
        for (const PrintOp &op : std::as_const(ops))
            if (!isPageSize(op) && op.kind != PrintOp::Kind::EndDocument)
                op.applyTo(writer);
        *drawn = p + 1;
    }
    writer.endDocument();
    *failed = writer.hasFailed();
    return true;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The queue's name without an instance ("PDF/fast" is queue "PDF").
QString queueOf(const QPrinter &printer) { return printer.printerName().section(QLatin1Char('/'), 0, 0); }

// A printer that hands its job to the system itself (no system queue): the job has gone once the
// document has ended, and is recorded then.
JobResult recordDirect(QPrinter &printer, int drawn, bool failed, const Issued &issued, QString *error)
{
    if (drawn > 0 && issued) {
        HandOver h;
        h.target = HandOver::Target::Direct;
        h.printer = printer.printerName();
        h.title = printer.docName();
        h.vouchers = drawn;
        QString why;
        if (!issued.prepare(h, &why) || !issued.finish(true, &why)) {
            setError(error, QStringLiteral("凭证已经送到打印机，但打印记录没有保存：%1").arg(why));
            return failed ? JobResult::FailedAfterStart : JobResult::Unrecorded;
        }
    }
    if (failed)
        setError(error, QStringLiteral("打印过程中出错，票据可能没有打印完整。请检查打印机后重新打印。"));
    return failed ? JobResult::FailedAfterStart : JobResult::Done;
}

} // namespace

JobResult runPages(QPrinter &printer, const QList<QList<PrintOp>> &pages, const std::function<bool(int)> &beforePage,
                   int *drawn, const Issued &issued, QString *error)
{
    return runPages(printer, pagesOf(pages), beforePage, drawn, issued, error);
}

JobResult runPages(QPrinter &printer, const Pages &pages, const std::function<bool(int)> &beforePage, int *drawn,
                   const Issued &issued, QString *error)
{
    int drawnHere = 0;
    int &count = drawn ? *drawn : drawnHere;
    count = 0;
    if (pages.count == 0)
        return JobResult::Done;
    Spooler *queues = spooler();
    if (!queues || !queues->handles(printer)) {
        bool failed = false;
        if (!drawPages(printer, pages, beforePage, &count, &failed)) {
            setError(error, notStartedText(printer));
            return JobResult::NotStarted;
        }
        return recordDirect(printer, count, failed, issued, error);
    }

    // Drawn into a file first; the queue gets it as one job once it is complete, so that a print
    // cut off while drawing sends nothing and records nothing.
    QTemporaryFile spool(QDir::temp().filePath(QStringLiteral("lanshi-XXXXXX.job")));
    if (!spool.open()) {
        setError(error, QStringLiteral("无法写入打印文件：%1").arg(spool.errorString()));
        return JobResult::NotStarted;
    }
    spool.close();
    printer.setOutputFileName(spool.fileName()); // not .pdf: the engine stays the printer's own
    bool failed = false;
    const bool begun = drawPages(printer, pages, beforePage, &count, &failed);
    printer.setOutputFileName(QString());
    if (!begun || failed) {
        const QString cause = store::writeCause(QDir::tempPath());
        setError(error, notStartedText(printer) + (cause.isEmpty() ? QString() : QStringLiteral("（临时文件夹%1）").arg(cause)));
        count = 0;
        return JobResult::NotStarted;
    }
    if (count == 0)
        return JobResult::Done; // cancelled before the first voucher

    const QString queue = queueOf(printer);
    QString why;
    const int job = queues->createJob(queue, printer.docName(), jobOptions(printer), &why);
    if (job == 0) {
        setError(error, notStartedText(printer) + QStringLiteral("（%1）").arg(why));
        count = 0;
        return JobResult::NotStarted;
    }
    HandOver h;
    h.target = HandOver::Target::Printer;
    h.printer = queue;
    h.job = job;
    h.title = printer.docName();
    h.vouchers = count;
    if (issued && !issued.prepare(h, &why)) {
        queues->cancelJob(queue, job);
        setError(error, QStringLiteral("打印记录无法保存：%1。没有打印。").arg(why));
        count = 0;
        return JobResult::NotRecorded;
    }
    QString sendError;
    const bool sent = queues->sendDocument(queue, job, spool.fileName(), &sendError);
    if (!sent)
        queues->cancelJob(queue, job);
    if (issued && !issued.finish(sent, &why)) {
        if (sent) {
            setError(error, QStringLiteral("凭证已经送到打印机，但打印记录没有保存：%1。下次启动时程序会补记。").arg(why));
            return JobResult::Unrecorded;
        }
    }
    if (!sent) {
        setError(error, notStartedText(printer) + QStringLiteral("（%1）").arg(sendError));
        count = 0;
        return JobResult::NotStarted;
    }
    return JobResult::Done;
}

JobResult runJob(QPrinter &printer, const QList<PrintOp> &ops, const Issued &issued, QString *error)
{
    return runPages(printer, {ops}, {}, nullptr, issued, error);
}

namespace {

// Writes the drawing into a PDF file at path through a complete file beside it, which issued is
// prepared with before it is renamed into place: the record and the file come together or not at
// all (a cut in the moment between is settled at the next start).
// *vouchers is read once the file is drawn: the pages it holds.
bool writePdfFile(const QString &path, const QString &documentName, const Issued &issued, const int *vouchers,
                  QString *error, const std::function<JobResult(QPrinter &)> &draw);

// The file's bytes on the disk before it becomes the voucher's file.
bool flushToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void flushFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool savePdfPages(const QList<QList<PrintOp>> &pages, const QString &path, const QString &documentName,
                  const std::function<bool(int)> &beforePage, int *drawn, QString *error, const Issued &issued)
{
    return savePdfPages(pagesOf(pages), path, documentName, beforePage, drawn, error, issued);
}

bool savePdfPages(const Pages &pages, const QString &path, const QString &documentName,
                  const std::function<bool(int)> &beforePage, int *drawn, QString *error, const Issued &issued)
{
    int drawnHere = 0;
    int &count = drawn ? *drawn : drawnHere;
    count = 0;
    if (pages.count == 0)
        return true;
    const bool written = writePdfFile(path, documentName, issued, &count, error, [&](QPrinter &printer) {
        bool failed = false;
        if (!drawPages(printer, pages, beforePage, &count, &failed))
            return JobResult::NotStarted;
        return failed ? JobResult::FailedAfterStart : JobResult::Done;
    });
    if (!written)
        count = 0;
    return written;
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
    QString error;
    switch (runJob(*printer, ops, onIssued, &error)) {
    case JobResult::Done: return PrintOutcome::Printed;
    case JobResult::Unrecorded:
        ui::tell(parent, error, kTitle, ui::Icon::Warning);
        return PrintOutcome::Printed;
    case JobResult::FailedAfterStart:
        ui::tell(parent, error, kTitle, ui::Icon::Critical);
        return PrintOutcome::Failed;
    case JobResult::NotRecorded:
        ui::tell(parent, error, kTitle, ui::Icon::Critical);
        return PrintOutcome::Failed;
    case JobResult::NotStarted: break;
    }
    printer.reset(); // the preview may want the same printer
    return offerAlternatives(error, ops, parent, onIssued, settings);
}

PrintOutcome saveVoucherAsPdf(const PrintRoutine &routine, QWidget *parent, const Issued &issued,
                              const PrintSettings &settings)
{
    return saveAsPdf(record(routine), parent, issued, settings);
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
            int drawn = 0;
            bool failed = false;
            const QList<QList<PrintOp>> one = {ops};
            drawPages(*p, pagesOf(one), {}, &drawn, &failed);
            return;
        }
        // A printer's queue records the voucher around taking the job; a file the print dialog
        // writes itself is recorded once it is complete.
        QString error;
        switch (runJob(*p, ops, onIssued, &error)) {
        case JobResult::Done: outcome = toPrinter ? PrintOutcome::Printed : PrintOutcome::SavedPdf; break;
        case JobResult::Unrecorded:
            ui::tell(&dialog, error, kTitle, ui::Icon::Warning);
            outcome = toPrinter ? PrintOutcome::Printed : PrintOutcome::SavedPdf;
            break;
        case JobResult::NotStarted:
            ui::tell(&dialog, error, kTitle, ui::Icon::Warning);
            outcome = PrintOutcome::Failed;
            break;
        case JobResult::NotRecorded:
        case JobResult::FailedAfterStart:
            ui::tell(&dialog, error, kTitle, ui::Icon::Critical);
            outcome = PrintOutcome::Failed;
            break;
        }
    });
    dialog.exec();
    return outcome;
}

namespace {

bool writePdfFile(const QString &path, const QString &documentName, const Issued &issued, const int *vouchers,
                  QString *error, const std::function<JobResult(QPrinter &)> &draw)
{
    auto fail = [error](const QString &why) {
        setError(error, why);
        return false;
    };
    const QFileInfo target(path);
    const QString shown = QDir::toNativeSeparators(path);
    const QString folder = target.absolutePath();
    if (target.isDir())
        return fail(QStringLiteral("“%1”是一个文件夹").arg(shown));
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("无法写入“%1”：%2不存在").arg(shown, store::folderLabel(folder)));
    // Written beside the target first, so a failure never leaves half a file under the chosen name.
    const QString partial = folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".part");
    QFile::remove(partial);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial);
    printer.setDocName(documentName);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);

    const auto cannotWrite = [&](int err) {
        QFile::remove(partial);
        const QString cause = store::writeCause(folder, err);
        return fail(cause.isEmpty() ? QStringLiteral("无法写入“%1”").arg(shown)
                                    : QStringLiteral("无法写入“%1”：%2").arg(shown, cause + QStringLiteral("（%1）").arg(store::folderLabel(folder))));
    };
    const JobResult result = draw(printer);
    if (result != JobResult::Done || QFileInfo(partial).size() == 0)
        return cannotWrite(0);
    if (!flushToDisk(partial))
        return cannotWrite(errno);
    if (issued) {
        HandOver h;
        h.target = HandOver::Target::PdfFile;
        h.path = target.absoluteFilePath();
        h.partial = partial;
        h.title = documentName;
        h.vouchers = *vouchers;
        QString why;
        if (!issued.prepare(h, &why)) {
            QFile::remove(partial);
            return fail(QStringLiteral("打印记录无法保存：%1。没有写入PDF文件。").arg(why));
        }
    }
    // rename() puts the new file in the old one's place in one step: an existing file is the old one
    // or the new one, never missing.
    if (::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const int err = errno;
        QString why;
        if (issued)
            issued.finish(false, &why);
        return cannotWrite(err);
    }
    flushFolder(folder);
    QString why;
    if (issued)
        issued.finish(true, &why); // a leftover entry only says the file is in place: the next start drops it
    return true;
}

} // namespace

bool savePdf(const QList<PrintOp> &ops, const QString &path, const QString &documentName, QString *error,
             const Issued &issued)
{
    const int one = 1;
    return writePdfFile(path, documentName, issued, &one, error, [&ops](QPrinter &printer) {
        int drawn = 0;
        bool failed = false;
        const QList<QList<PrintOp>> one = {ops};
        if (!drawPages(printer, pagesOf(one), {}, &drawn, &failed))
            return JobResult::NotStarted;
        return failed ? JobResult::FailedAfterStart : JobResult::Done;
    });
}

bool savePdf(const PrintRoutine &routine, const QString &path, const QString &documentName, QString *error,
             const Issued &issued)
{
    return savePdf(record(routine), path, documentName, error, issued);
}

} // namespace printing
