#pragma once
// A print queue for tests: takes (or refuses) jobs for every printer, keeps the documents it was
// sent and says what it was asked, so that a print's hand-over can be watched without CUPS.

#include "printing/spooler.h"

#include <QFile>
#include <QStringList>

#include <functional>

class FakeSpooler : public printing::Spooler {
public:
    FakeSpooler() { printing::setSpooler(this); }
    ~FakeSpooler() override { printing::setSpooler(nullptr); }
    FakeSpooler(const FakeSpooler &) = delete;
    FakeSpooler &operator=(const FakeSpooler &) = delete;

    // What may go wrong, and what the queue says of an earlier job.
    bool refuseJob = false;
    bool refuseDocument = false;
    JobState state = JobState::Taken;
    std::function<void()> whileSending; // runs as the document arrives

    // What happened: "create 1", "send 1", "cancel 1", "state 7".
    QStringList calls;
    QList<QByteArray> documents;
    QString lastTitle;
    QStringList queues; // the queue of each job created
    printing::JobOptions lastOptions;

    bool handles(const QPrinter &) const override { return true; }
    int createJob(const QString &queue, const QString &title, const printing::JobOptions &options, QString *error) override
    {
        queues << queue;
        if (refuseJob) {
            calls << QStringLiteral("create refused");
            *error = QStringLiteral("队列拒绝");
            return 0;
        }
        lastTitle = title;
        lastOptions = options;
        calls << QStringLiteral("create %1").arg(++m_jobs);
        return m_jobs;
    }
    bool sendDocument(const QString &, int job, const QString &file, QString *error) override
    {
        calls << QStringLiteral("send %1").arg(job);
        if (whileSending)
            whileSending();
        if (refuseDocument) {
            *error = QStringLiteral("队列出错");
            return false;
        }
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        documents << f.readAll();
        return true;
    }
    void cancelJob(const QString &, int job) override { calls << QStringLiteral("cancel %1").arg(job); }
    JobState jobState(const QString &, int job) override
    {
        calls << QStringLiteral("state %1").arg(job);
        return state;
    }

private:
    int m_jobs = 0;
};
