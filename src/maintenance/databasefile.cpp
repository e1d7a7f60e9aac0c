#include "maintenance/databasefile.h"

#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace maintenance {

namespace {

QString journalPath() { return store::databasePath() + QStringLiteral("-journal"); }

// A journal beside the database means a write is under way (or was cut off): the file alone is
// not a consistent database at this moment.
bool writeUnderWay()
{
    const QFileInfo journal(journalPath());
    return journal.exists() && journal.size() > 0;
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

QString quickCheck(const QString &path)
{
    static int counter = 0;
    const QString name = QStringLiteral("lanshi-restore-check-%1").arg(++counter);
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            result = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA quick_check")))
                result = q.lastError().text();
            else if (!q.next())
                result = QStringLiteral("检查没有结果");
            else if (q.value(0).toString() != QLatin1String("ok"))
                result = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

CopyResult backupDatabase(const QString &destination, const CopyProgress &progress)
{
    CopyResult result;
    const QString live = store::databasePath();
    if (sameFile(live, destination)) {
        result.error = QStringLiteral("不能备份到数据库文件本身，请另选一个文件名或文件夹。");
        return result;
    }
    if (writeUnderWay()) {
        result.error = QStringLiteral("数据库正在写入（%1 存在），现在的文件不完整。请稍后再备份；"
                                      "若此情况一直存在，请重新启动本程序。")
                           .arg(journalPath());
        return result;
    }
    return copyFileSafely(live, destination, progress);
}

QString checkBackupFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("找不到文件 %1。").arg(path);
    if (info.size() == 0)
        return QStringLiteral("文件 %1 是空文件，不是数据库备份。").arg(path);
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("无法读取文件 %1：%2").arg(path, f.errorString());
        if (f.read(16) != QByteArray("SQLite format 3\0", 16))
            return QStringLiteral("文件 %1 不是本程序的数据库备份。").arg(path);
    }
    if (const QString damage = quickCheck(path); !damage.isEmpty())
        return QStringLiteral("数据库备份 %1 已损坏或不完整（%2）。").arg(path, damage);
    return store::checkDatabaseFile(path);
}

RestoreResult restoreDatabase(const QString &backup, const CopyProgress &progress)
{
    RestoreResult result;
    const QString live = store::databasePath();
    if (sameFile(live, backup)) {
        result.error = QStringLiteral("所选文件就是正在使用的数据库，不需要恢复。");
        return result;
    }
    if (writeUnderWay()) {
        result.error = QStringLiteral("数据库正在写入（%1 存在），现在不能恢复。请稍后再试；"
                                      "若此情况一直存在，请重新启动本程序。")
                           .arg(journalPath());
        return result;
    }

    // The copy beside the live file is what gets checked and then renamed into place, so the
    // file checked is the file used, whatever happens to the chosen one meanwhile.
    const QString staged = store::appFile(QStringLiteral(".sjk.mdb.restore"));
    const CopyResult copied = copyFileSafely(backup, staged, progress);
    if (!copied.ok()) {
        result.error = copied.error;
        return result;
    }
    if (const QString wrong = checkBackupFile(staged); !wrong.isEmpty()) {
        QFile::remove(staged);
        // The message names the file the user chose, not our staging copy.
        QString shown = wrong;
        shown.replace(staged, backup);
        result.error = shown;
        return result;
    }

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString safety = store::appFile(QStringLiteral("sjk-恢复前-%1.mdb").arg(stamp));
    for (int n = 2; QFileInfo::exists(safety); ++n)
        safety = store::appFile(QStringLiteral("sjk-恢复前-%1-%2.mdb").arg(stamp).arg(n));
    const CopyResult kept = copyFileSafely(live, safety);
    if (!kept.ok()) {
        QFile::remove(staged);
        result.error = QStringLiteral("无法保留当前数据库的安全副本，没有恢复：%1").arg(kept.error);
        return result;
    }
    result.safetyCopy = safety;

    store::Connection::closeAll();
    QString error;
    if (writeUnderWay()) // a journal left now would be played back into the restored file
        error = QStringLiteral("数据库正在写入（%1 存在），现在不能恢复。").arg(journalPath());
    else
        error = replaceFile(staged, live);
    if (!error.isEmpty())
        QFile::remove(staged);
    const bool reopened = store::Connection::reopenAll();
    if (!error.isEmpty()) {
        result.error = error + QStringLiteral("\n当前数据库没有改变。");
        return result;
    }
    if (!reopened)
        result.error = QStringLiteral("数据已恢复，但有的窗口无法重新打开数据库，请重新启动本程序。");
    return result;
}

} // namespace maintenance
