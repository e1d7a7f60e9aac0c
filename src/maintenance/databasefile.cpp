#include "maintenance/databasefile.h"

#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/failures.h"
#include "store/leftovers.h"
#include "store/sqlitefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <cerrno>

#include <memory>

namespace maintenance {

namespace {

// A file of ours that the data folder would not take, and why.
QString cannotWriteIn(const QTemporaryFile &file)
{
    const QString cause = store::writeCause(store::appDir(), errno);
    return QStringLiteral("无法在%1中写入文件：%2")
        .arg(store::folderLabel(store::appDir()), cause.isEmpty() ? file.errorString() : cause);
}

const QStringList kSideFiles = {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

// Another program writing to the database, or a write-ahead log that holds committed rows the
// file alone lacks: either way the file must not be replaced now. (A journal a crash left is
// rolled back by the check; one that was never completed is no write at all.)
QString liveFileBusy()
{
    const QString live = store::databasePath();
    const QFileInfo wal(live + QStringLiteral("-wal"));
    QString why;
    if (wal.exists() && wal.size() > 0)
        why = QStringLiteral("%1 存在").arg(wal.filePath());
    else
        why = store::checkNoWriter(live);
    if (why.isEmpty())
        return QString();
    return QStringLiteral("数据库正在写入（%1），现在不能恢复。请稍后再试；若此情况一直存在，请重新启动本程序。")
        .arg(why);
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

QString megabytes(qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); }

// Writes a snapshot of the live database into file (a temporary file the caller holds), with
// progress on the first part of the scale.
QString snapshotInto(const QString &file, const CopyProgress &progress, qint64 scaleDone, qint64 scaleTotal)
{
    return store::snapshotDatabase(store::databasePath(), file, [&](qint64 done, qint64 total) {
        if (progress && total > 0)
            progress(done * scaleDone / total, scaleTotal);
    });
}

QString describeDamage(const store::QuickCheck &check)
{
    // SQLite's own words name pages and trees; the first line is enough for the user.
    return check.detail.section(QLatin1Char('\n'), 0, 0);
}

// Keeps the live database as it is now under a new name beside it. A damaged database (the usual
// reason for a restore) is kept all the same, as it is.
QString keepSafetyCopy(QString *path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString safety = store::appFile(QStringLiteral("sjk-恢复前-%1.mdb").arg(stamp));
    for (int n = 2; QFileInfo::exists(safety); ++n)
        safety = store::appFile(QStringLiteral("sjk-恢复前-%1-%2.mdb").arg(stamp).arg(n));

    QTemporaryFile temp(store::temporaryTemplate(safety));
    if (!store::openInUse(temp))
        return cannotWriteIn(temp);
    QString error = snapshotInto(temp.fileName(), {}, 1, 1);
    if (!error.isEmpty()) {
        // SQLite could not read it through (a damaged first page, say): keep the bytes instead.
        // No connection writes while the restore runs, and the journal was checked.
        temp.close();
        const CopyResult bytes = copyFileSafely(store::databasePath(), safety);
        if (!bytes.ok())
            return error;
        *path = safety;
        return QString();
    }
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    temp.close();
    error = replaceFile(temp.fileName(), safety);
    if (!error.isEmpty())
        return error;
    temp.setAutoRemove(false);
    *path = safety;
    return QString();
}

} // namespace

BackupResult backupDatabase(const QString &destination, const CopyProgress &progress)
{
    BackupResult result;
    const QString live = store::databasePath();
    const QFileInfo target(destination);
    if (sameFile(live, destination)) {
        result.error = QStringLiteral("不能备份到数据库文件本身，请另选一个文件名或文件夹。");
        return result;
    }
    if (target.isDir()) {
        result.error = QStringLiteral("%1 是一个文件夹，请给出文件名。").arg(destination);
        return result;
    }
    if (!target.absoluteDir().exists()) {
        result.error = QStringLiteral("文件夹 %1 不存在。").arg(target.absolutePath());
        return result;
    }
    if (!QFileInfo(live).isFile()) {
        result.error = QStringLiteral("找不到文件 %1。").arg(live);
        return result;
    }

    store::removeLeftoversOf(destination);
    QTemporaryFile temp(store::temporaryTemplate(destination));
    if (!store::openInUse(temp)) {
        result.error = QStringLiteral("无法在文件夹 %1 中写入文件：%2").arg(target.absolutePath(), temp.errorString());
        return result;
    }
    constexpr qint64 kScale = 10000;
    if (const QString error = snapshotInto(temp.fileName(), progress, kScale * 8 / 10, kScale); !error.isEmpty()) {
        result.error = error;
        return result;
    }

    // The copy is what gets checked: it holds every page of the database as it is, and it is
    // what would replace the file the user keeps.
    const store::QuickCheck check = store::quickCheck(temp.fileName(), [&] {
        if (progress)
            progress(kScale * 8 / 10, kScale);
        return true;
    });
    const QString kept = QFileInfo::exists(destination)
        ? QStringLiteral("原有的备份文件 %1 没有改变。").arg(destination)
        : QStringLiteral("没有写入备份文件。");
    if (check.damaged()) {
        result.damaged = true;
        result.error = QStringLiteral("数据库文件 %1 已损坏（%2），不能备份。%3\n"
                                      "请在主窗口的“数据操作”中点“数据恢复”，从最近一次完好的备份恢复数据。")
                           .arg(live, describeDamage(check), kept);
        return result;
    }
    if (!check.sound()) {
        result.error = QStringLiteral("无法检查数据库（%1），没有备份。%2").arg(check.detail, kept);
        return result;
    }
    if (QString wrong = store::checkDatabaseFile(temp.fileName()); !wrong.isEmpty()) {
        result.error = QStringLiteral("数据库结构不符，没有备份：%1").arg(wrong.replace(temp.fileName(), live));
        return result;
    }

    // A temporary file is private to its owner; the backup gets the permissions of the file it
    // replaces, or those of an ordinary new file.
    temp.setPermissions(QFileInfo::exists(destination)
                            ? QFile::permissions(destination)
                            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    temp.close();
    if (const QString error = replaceFile(temp.fileName(), destination); !error.isEmpty()) {
        result.error = error;
        return result;
    }
    temp.setAutoRemove(false);
    if (progress)
        progress(kScale, kScale);
    return result;
}

QString precheckBackupFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("找不到文件 %1。").arg(path);
    if (info.size() == 0)
        return QStringLiteral("文件 %1 是空文件，不是数据库备份。").arg(path);
    const store::FileHeader header = store::readFileHeader(path);
    if (!header.readable)
        return QStringLiteral("无法读取文件 %1。").arg(path);
    if (!header.isSqlite || header.applicationId != store::kApplicationId)
        return QStringLiteral("文件 %1 不是本程序的数据库备份（不是本程序的数据库）。").arg(path);
    const qint64 stated = header.pageCount * header.pageSize;
    if (header.fileSize % header.pageSize != 0 || (stated > 0 && header.fileSize < stated))
        return QStringLiteral("数据库备份 %1 不完整（文件长 %2 字节，应为 %3 字节），可能在复制时被截断。")
            .arg(path)
            .arg(header.fileSize)
            .arg(stated > 0 ? stated : (header.fileSize / header.pageSize + 1) * header.pageSize);
    if (stated > 0 && header.fileSize > stated)
        return QStringLiteral("数据库备份 %1 的长度（%2 字节）与其中记载的长度（%3 字节）不符，文件已损坏。")
            .arg(path)
            .arg(header.fileSize)
            .arg(stated);
    return QString();
}

QString checkBackupFile(const QString &path)
{
    if (const QString wrong = precheckBackupFile(path); !wrong.isEmpty())
        return wrong;
    const store::QuickCheck check = store::quickCheck(path);
    if (!check.sound())
        return QStringLiteral("数据库备份 %1 已损坏或不完整（%2）。").arg(path, describeDamage(check));
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
    // Everything that can be told without reading the whole file, before anything is copied.
    if (const QString wrong = precheckBackupFile(backup); !wrong.isEmpty()) {
        result.error = wrong;
        return result;
    }
    if (const QString busy = liveFileBusy(); !busy.isEmpty()) {
        result.error = busy;
        return result;
    }
    const qint64 backupSize = QFileInfo(backup).size();
    const qint64 liveSize = QFileInfo(live).size();
    QStorageInfo disk(store::appDir());
    const qint64 needed = backupSize + liveSize + (1 << 20);
    if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < needed) {
        result.error = QStringLiteral("%1所在的磁盘空间不足：恢复需要约 %2 MB（备份和安全副本），"
                                      "现在只有 %3 MB。")
                           .arg(store::folderLabel(store::appDir()), megabytes(needed), megabytes(disk.bytesAvailable()));
        return result;
    }

    // The copy beside the live file is what gets checked and then renamed into place, so the
    // file checked is the file used, whatever happens to the chosen one meanwhile.
    const QString stagedName = store::appFile(QStringLiteral("sjk.mdb.restore"));
    store::removeLeftoversOf(stagedName);
    // Held open (and so marked in use) until it has become the live file; see below.
    auto staged = std::make_unique<QTemporaryFile>(store::temporaryTemplate(stagedName));
    if (!store::openInUse(*staged)) {
        result.error = cannotWriteIn(*staged);
        return result;
    }
    const QString stagedFile = staged->fileName();
    const auto removeStagedSides = [&] {
        for (const QString &side : kSideFiles)
            QFile::remove(stagedFile + side);
    };
    const qint64 total = backupSize + liveSize;
    const CopyResult copied = copyInto(backup, *staged, stagedName, [&](qint64 done, qint64) {
        if (progress)
            progress(done, total);
    });
    if (!copied.ok()) {
        result.error = copied.error;
        return result;
    }
    // Rows still in a write-ahead log, or a write cut off in a journal, lie beside the chosen
    // file; they go with it, and SQLite takes the log in (or rolls the journal back) below.
    for (const QString &side : {QStringLiteral("-wal"), QStringLiteral("-journal")}) {
        const QFileInfo f(backup + side);
        if (f.isFile() && f.size() > 0) {
            const CopyResult c = copyFileSafely(f.filePath(), stagedFile + side);
            if (!c.ok()) {
                removeStagedSides();
                result.error = c.error;
                return result;
            }
        }
    }
    QString wrong = store::useRollbackJournal(stagedFile);
    if (!wrong.isEmpty())
        wrong = QStringLiteral("数据库备份 %1 已损坏或不完整（%2）。").arg(backup, wrong);
    else
        wrong = checkBackupFile(stagedFile);
    // A backup that an earlier version of the program made is brought up to this version in the
    // copy (the chosen file stays as it is) before it becomes the live file, which the open
    // windows then read and search as a file of this version.
    if (wrong.isEmpty())
        wrong = store::upgradeDatabase(stagedFile);
    removeStagedSides();
    if (!wrong.isEmpty()) {
        // The message names the file the user chose, not our staging copy.
        result.error = wrong.replace(stagedFile, backup);
        return result;
    }

    QString safety;
    if (const QString error = keepSafetyCopy(&safety); !error.isEmpty()) {
        result.error = QStringLiteral("无法保留当前数据库的安全副本，没有恢复：%1").arg(error);
        return result;
    }
    result.safetyCopy = safety;
    if (progress)
        progress(total, total);

    store::Connection::closeAll();
    QString error = liveFileBusy(); // a journal left now would be played back into the restored file
    if (error.isEmpty())
        error = replaceFile(stagedFile, live);
    if (error.isEmpty()) {
        // Our descriptor of what is now the live file goes before SQLite opens it again: closing
        // a descriptor drops every POSIX lock the process holds on the file, SQLite's included.
        staged->setAutoRemove(false);
        staged.reset();
    }
    const bool reopened = store::Connection::reopenAll();
    if (!error.isEmpty()) {
        result.error = error + QStringLiteral("\n当前数据库没有改变。");
        return result;
    }
    if (!reopened)
        result.error = QStringLiteral("数据已恢复，但有的窗口无法重新打开数据库，请重新启动本程序。");
    return result;
}

void removeLeftoversAtStart() { store::removeLeftoversIn(store::appDir()); }

} // namespace maintenance
