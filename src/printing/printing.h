#pragma once
// Sends a voucher's drawing to the system's default printer, or on the user's choice to a preview or
// a PDF file, and says which happened.

#include "printing/issue.h"
#include "printing/pagewriter.h"
#include "printing/pagewriter_recorder.h"

#include <QDateTime>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace printing {

enum class PrintOutcome {
    Printed,   // the printer took the whole job
    SavedPdf,  // written to a PDF file instead
    Previewed, // shown in the preview and not printed from there
    Cancelled, // the user gave up
    Failed     // the printer or the file failed; the user has been told
};

// Where printVoucher() meets the system; each default is the real thing, tests replace them.
struct PrintSettings {
    QString documentName = QStringLiteral("蓝石竞技通");
    // The start of the file name proposed for "save as PDF", e.g. "支票-<收款人>"; the time of the
    // proposal follows it.
    QString pdfName;
    // The printer of a direct print, set up for it; nullptr when the system has none.
    std::function<std::unique_ptr<QPrinter>()> openPrinter = openDefaultPrinter;
    // The file the user chooses for "save as PDF", proposed under the given name; empty when he
    // cancels.
    std::function<QString(QWidget *parent, const QString &proposedPath)> choosePdfPath = askPdfPath;

    static std::unique_ptr<QPrinter> openDefaultPrinter();
    static QString askPdfPath(QWidget *parent, const QString &proposedPath);
};

// A printer set up to print vouchers: full resolution, positions counted from its printable area.
// nullptr for a null printer info.
std::unique_ptr<QPrinter> printerFor(const QPrinterInfo &info);

// The folder a file dialog starts in: the user's documents folder when it exists, else his home.
QString documentsFolder();

// The proposed file name of a voucher's PDF: "<name>-<yyyyMMdd-HHmmss>.pdf", with the characters a
// file name cannot hold (/ \ : * ? " < > | and control characters) replaced by "_". An empty
// name proposes "凭证".
QString proposedPdfFileName(const QString &name, const QDateTime &when);

// Prints through the default printer without a dialog. When there is no printer, or it cannot
// start the job, the user is told and may preview or save a PDF instead ("预览(&V)",
// "另存为PDF(&S)", "取消"). issued records the voucher around its hand-over: to a printer queue
// (the record is written down before the queue gets the job and completed once it has taken it
// whole), or to a PDF file (recorded with the complete file just before it is put in place); never
// for the preview alone, a cancelled choice or a file that could not be written. When the record
// cannot be written nothing is printed and the user is told; so are other failures.
PrintOutcome printVoucher(const PrintRoutine &routine, QWidget *parent, const Issued &issued,
                          const PrintSettings &settings = {});

// "另存为PDF": the file chosen through settings.choosePdfPath, written and recorded as a direct
// print's alternative is.
PrintOutcome saveVoucherAsPdf(const PrintRoutine &routine, QWidget *parent, const Issued &issued,
                              const PrintSettings &settings = {});

// Shows the drawing in a print preview, fitted to its width, over most of the screen. Printing from
// the preview records the voucher just as a direct print or a saved PDF does.
PrintOutcome previewVoucher(const QList<PrintOp> &ops, QWidget *parent, const Issued &issued,
                            const PrintSettings &settings = {});

// Writes the drawing to a PDF file, origin at the paper's corner, A4 unless the drawing sets its
// page size. An existing file is replaced only by a complete one. On failure returns false and
// says why in *error (the file or folder and the cause).
bool savePdf(const QList<PrintOp> &ops, const QString &path, const QString &documentName = QString(),
             QString *error = nullptr, const Issued &issued = {});
bool savePdf(const PrintRoutine &routine, const QString &path, const QString &documentName = QString(),
             QString *error = nullptr, const Issued &issued = {});

// How a job on a printer went.
enum class JobResult {
    Done,          // handed over whole (and recorded)
    NotStarted,    // the printer or its queue did not take it: nothing printed, nothing recorded
    NotRecorded,   // the record could not be written first: nothing printed
    Unrecorded,    // handed over, but its record could not be completed (the next start settles it)
    FailedAfterStart // a printer that sends its job itself failed on the way: pages may be missing
};

// The pages of a job, each made when the job comes to it: a batch of ten thousand vouchers never
// holds all its drawings at once.
struct Pages {
    int count = 0;
    std::function<QList<PrintOp>(int page)> page;
};

// Several vouchers of one kind as one job, one page each; a single voucher is a job of one page.
// The page size comes from the first voucher; beforePage(i) runs when page i is about to be drawn
// and may return false to stop there: the pages drawn so far go out as the job. *drawn counts them.
// A system queue gets the job once every page is drawn: issued is prepared with the queue's job
// number, the document sent, and issued finished with the queue's answer. A printer that sends its
// job itself (no queue of the system's) is recorded once its job has ended. *error says what went
// wrong, for the user.
JobResult runPages(QPrinter &printer, const Pages &pages, const std::function<bool(int page)> &beforePage,
                   int *drawn, const Issued &issued = {}, QString *error = nullptr);
JobResult runPages(QPrinter &printer, const QList<QList<PrintOp>> &pages,
                   const std::function<bool(int page)> &beforePage, int *drawn, const Issued &issued = {},
                   QString *error = nullptr);
JobResult runJob(QPrinter &printer, const QList<PrintOp> &ops, const Issued &issued = {}, QString *error = nullptr);

// The pages into one PDF file (origin at the paper's corner), replaced only by a complete file;
// issued is prepared once the file is complete, before it is put in place. beforePage as for
// runPages(); *drawn counts the pages the file holds.
bool savePdfPages(const Pages &pages, const QString &path, const QString &documentName,
                  const std::function<bool(int page)> &beforePage, int *drawn, QString *error,
                  const Issued &issued = {});
bool savePdfPages(const QList<QList<PrintOp>> &pages, const QString &path, const QString &documentName,
                  const std::function<bool(int page)> &beforePage, int *drawn, QString *error,
                  const Issued &issued = {});

// The operations a routine records.
QList<PrintOp> recordRoutine(const PrintRoutine &routine);

} // namespace printing
