#pragma once
// Sends a voucher's drawing to the system's default printer, or on the user's choice to a preview or
// a PDF file, and says which happened.

#include "vouchers/pagewriter.h"
#include "vouchers/pagewriter_recorder.h"

#include <QPrinter>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace vouchers {

enum class PrintOutcome {
    Printed,   // the printer took the whole job
    SavedPdf,  // written to a PDF file instead
    Previewed, // shown in the preview and not printed from there
    Cancelled, // the user gave up
    Failed     // the printer or the file failed; the user has been told
};

// Called once the printer has accepted the start of a job, before anything is drawn: the place to
// write the history row. A started job cannot be withdrawn (the print engine has no abort), so the
// drawing follows whatever the callee does; it tells the user of its own failures.
using JobStarted = std::function<void()>;

// Where printVoucher() meets the system; each default is the real thing, tests replace them.
struct PrintSettings {
    QString documentName = QStringLiteral("蓝石竞技通");
    // The printer of a direct print, set up for it; nullptr when the system has none.
    std::function<std::unique_ptr<QPrinter>()> openPrinter = openDefaultPrinter;
    // The file the user chooses for "save as PDF"; empty when he cancels.
    std::function<QString(QWidget *parent)> choosePdfPath = askPdfPath;

    static std::unique_ptr<QPrinter> openDefaultPrinter();
    static QString askPdfPath(QWidget *parent);
};

// Prints through the default printer without a dialog. When there is no printer, or it cannot
// start the job, the user is told and may preview or save a PDF instead. onJobStarted runs only
// when a printer has started a job (here or from the preview's print button), never for a PDF.
// A failure after the start is told as well; the history row written by then stays.
PrintOutcome printVoucher(const PrintRoutine &routine, QWidget *parent, const JobStarted &onJobStarted,
                          const PrintSettings &settings = {});

// Shows the drawing in a print preview. Printing from the preview to a printer runs onJobStarted
// just as a direct print does.
PrintOutcome previewVoucher(const QList<PrintOp> &ops, QWidget *parent, const JobStarted &onJobStarted,
                            const PrintSettings &settings = {});

// Writes the drawing to a PDF file, origin at the paper's corner, A4 unless the drawing sets its
// page size. An existing file is replaced only by a complete one. On failure returns false and
// says why in *error.
bool savePdf(const QList<PrintOp> &ops, const QString &path, const QString &documentName = QString(),
             QString *error = nullptr);
bool savePdf(const PrintRoutine &routine, const QString &path, const QString &documentName = QString(),
             QString *error = nullptr);

// Draws the operations on a printer set up by the caller: the page size comes first, then the job
// starts, onJobStarted runs, and the drawing follows. Used by every path above.
enum class JobResult { Done, NotStarted, FailedAfterStart };
JobResult runJob(QPrinter &printer, const QList<PrintOp> &ops, const JobStarted &onJobStarted = {});

} // namespace vouchers
