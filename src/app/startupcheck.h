#pragma once
// The quick check of the database at start. It reads every page, which takes a while on a long
// history, so it runs on a thread of its own while the main window is already in use; a damaged
// file is then reported to the user with what to do.

#include "store/sqlitefile.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <thread>

namespace app {

class StartupCheck : public QObject {
    Q_OBJECT
public:
    // Starts checking path at once; the report goes above window.
    StartupCheck(const QString &path, QWidget *window, QObject *parent = nullptr);
    // A check still running is stopped (the program is closing).
    ~StartupCheck() override;

    bool isDone() const { return m_done; }
    const store::QuickCheck &result() const { return m_result; }

    // What the user is told about a damaged database.
    static QString damageMessage(const QString &path, const store::QuickCheck &result);

signals:
    void finished();

private:
    void report(const store::QuickCheck &result);

    QString m_path;
    QByteArray m_fileId; // the file checked; a restore meanwhile puts another in its place
    QPointer<QWidget> m_window;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    store::QuickCheck m_result;
    bool m_done = false;
};

} // namespace app
