#pragma once
// How a print tells the record of issued vouchers (the history) what it hands over, in two steps
// around the hand-over, so that the record holds exactly what went to a printer queue or a file.

#include <QString>

#include <functional>
#include <memory>
#include <type_traits>

namespace printing {

// Where a finished drawing goes, said just before it goes.
struct HandOver {
    enum class Target {
        Printer, // a job on a printer queue, held by the queue until its document has arrived whole
        PdfFile, // a complete file beside path, about to be renamed into place
        Direct   // already gone (a printer engine that sends its job itself, a test): record it now
    };
    Target target = Target::Direct;
    QString printer; // the queue (Printer, Direct)
    int job = 0;     // the queue's job number (Printer)
    QString path;    // the file (PdfFile)
    QString partial; // the complete file that becomes path (PdfFile)
    QString title;   // the job's or file's name as the print gives it
    int vouchers = -1; // the first so many vouchers of the drawing go (a cancelled batch sends fewer); -1: all
};

// The record of what a print issues. prepare() runs once the drawing is complete and before it is
// handed over; false (with *error) stops the print there and nothing goes out. finish() runs after
// the hand-over with whether it happened (the queue took the whole job, the file is in place); false
// (with *error) when the record could not be completed, which the next start settles.
class IssueRecord {
public:
    virtual ~IssueRecord() = default;
    virtual bool prepare(const HandOver &handOver, QString *error) = 0;
    virtual bool finish(bool handedOver, QString *error) = 0;
};

// What a print path is given to record its vouchers with: a record, a plain callback that records
// at once and cannot fail, or nothing (a preview, a test print).
class Issued {
public:
    Issued() = default;
    Issued(std::function<void()> recordNow);
    template <typename F, typename = std::enable_if_t<std::is_invocable_r_v<void, F>>>
    Issued(F recordNow) : Issued(std::function<void()>(std::move(recordNow)))
    {
    }
    Issued(std::shared_ptr<IssueRecord> record) : m_record(std::move(record)) {}

    explicit operator bool() const { return bool(m_record); }
    // Records a hand-over that has happened already (HandOver::Target::Direct).
    void operator()() const;
    bool prepare(const HandOver &handOver, QString *error) const;
    bool finish(bool handedOver, QString *error) const;

private:
    std::shared_ptr<IssueRecord> m_record;
};

} // namespace printing
