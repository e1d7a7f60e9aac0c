#pragma once
// The system's print queues (CUPS): a finished print file handed over as a job, with the queue's
// answer whether it took the job, and what became of a job a print was cut off from.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QPrinter;

namespace printing {

using JobOptions = QList<QPair<QByteArray, QByteArray>>;

class Spooler {
public:
    virtual ~Spooler() = default;

    // Whether a job for this printer goes through this spooler: a queue of the system's, printing
    // natively (not into a file of the user's).
    virtual bool handles(const QPrinter &printer) const = 0;
    // A new job on the queue, held there until its document has arrived: its number, or 0 with
    // *error saying why.
    virtual int createJob(const QString &queue, const QString &title, const JobOptions &options, QString *error) = 0;
    // Sends the file as the job's document; true once the queue has taken it whole.
    virtual bool sendDocument(const QString &queue, int job, const QString &file, QString *error) = 0;
    virtual void cancelJob(const QString &queue, int job) = 0;

    enum class JobState {
        Taken,       // the queue holds the whole job, prints it or has printed it
        Interrupted, // the document never arrived whole: it will not print
        Cancelled,   // cancelled or aborted at the queue
        Unknown      // the queue does not know the job (any more), or cannot be asked
    };
    virtual JobState jobState(const QString &queue, int job) = 0;
};

// The spooler prints go through: the system's (CUPS) unless a test has put another in its place.
Spooler *spooler();
// nullptr puts the system's back.
void setSpooler(Spooler *spooler);

// The options of a job as the printer is set up: its paper (media and, where the queue takes custom
// sizes, PageSize), sides, orientation, copies, as Qt's own print engine passes them.
JobOptions jobOptions(QPrinter &printer);

} // namespace printing
