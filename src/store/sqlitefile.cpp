#include "store/sqlitefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <sqlite3.h>

#include <thread>
#include <unistd.h>

namespace store {

namespace {

// One raw SQLite connection, closed when it goes out of scope.
struct Handle {
    sqlite3 *db = nullptr;
    Handle() = default;
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() { close(); }
    int close()
    {
        const int rc = db ? sqlite3_close(db) : SQLITE_OK;
        if (rc == SQLITE_OK)
            db = nullptr;
        return rc;
    }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("内存不足"); }
};

int openFile(const QString &path, int flags, Handle &h)
{
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &h.db, flags, nullptr);
    if (h.db)
        sqlite3_busy_timeout(h.db, 5000);
    return rc;
}

// Runs a statement that returns one text (a PRAGMA); empty with *error set on failure.
QString single(Handle &h, const char *sql, QString *error)
{
    sqlite3_stmt *st = nullptr;
    QString out;
    int rc = sqlite3_prepare_v2(h.db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            rc = SQLITE_OK;
        } else if (rc == SQLITE_DONE) {
            rc = SQLITE_OK;
        }
    }
    if (rc != SQLITE_OK)
        *error = h.error();
    sqlite3_finalize(st);
    return out;
}

bool damagedCode(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_IOERR:
    case SQLITE_FORMAT:
    case SQLITE_RANGE:
    case SQLITE_ERROR: // e.g. a schema that no longer parses
        return true;
    default:
        return false;
    }
}

int keepGoingHandler(void *arg)
{
    const KeepGoing &keepGoing = *static_cast<const KeepGoing *>(arg);
    return keepGoing() ? 0 : 1;
}

bool syncFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    return ::fsync(f.handle()) == 0;
}

} // namespace

FileHeader readFileHeader(const QString &path)
{
    FileHeader h;
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return h;
    h.fileSize = f.size();
    const QByteArray b = f.read(100);
    h.readable = true;
    if (b.size() < 100 || !b.startsWith(QByteArray("SQLite format 3\0", 16)))
        return h;
    const auto u16 = [&](int at) { return qFromBigEndian<quint16>(b.constData() + at); };
    const auto u32 = [&](int at) { return qFromBigEndian<quint32>(b.constData() + at); };
    const int size = u16(16) == 1 ? 65536 : u16(16);
    if (size < 512 || (size & (size - 1)) != 0)
        return h;
    h.isSqlite = true;
    h.pageSize = size;
    // The page count in the header is trusted only when written by the same change as the rest.
    if (u32(28) != 0 && u32(24) == u32(92))
        h.pageCount = u32(28);
    h.applicationId = u32(68);
    h.writeAheadLog = quint8(b.at(18)) == 2 || quint8(b.at(19)) == 2;
    return h;
}

QuickCheck quickCheck(const QString &path, const KeepGoing &keepGoing)
{
    QuickCheck result;
    if (!QFileInfo(path).isFile()) {
        result.detail = QStringLiteral("找不到文件 %1").arg(path);
        return result;
    }
    Handle h;
    int rc = openFile(path, SQLITE_OPEN_READONLY, h);
    if (rc != SQLITE_OK) {
        result.status = damagedCode(rc) ? QuickCheck::Status::Damaged : QuickCheck::Status::NotChecked;
        result.detail = h.error();
        return result;
    }
    if (keepGoing)
        sqlite3_progress_handler(h.db, 20000, keepGoingHandler, const_cast<KeepGoing *>(&keepGoing));

    sqlite3_stmt *st = nullptr;
    QStringList found;
    rc = sqlite3_prepare_v2(h.db, "PRAGMA quick_check(10)", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            found << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    const QString error = h.error();
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE) {
        if (found == QStringList{QStringLiteral("ok")}) {
            result.status = QuickCheck::Status::Sound;
        } else {
            result.status = QuickCheck::Status::Damaged;
            result.detail = found.isEmpty() ? QStringLiteral("检查没有结果") : found.join(QLatin1Char('\n'));
        }
    } else {
        result.status = damagedCode(rc) ? QuickCheck::Status::Damaged : QuickCheck::Status::NotChecked;
        result.detail = error;
    }
    return result;
}

QString snapshotDatabase(const QString &source, const QString &destination, const Progress &progress)
{
    Handle from;
    // Read-write, so that a journal left by a crashed writer can be rolled back before reading;
    // nothing is written otherwise.
    if (openFile(source, SQLITE_OPEN_READWRITE, from) != SQLITE_OK)
        return QStringLiteral("无法打开数据库 %1：%2").arg(source, from.error());
    Handle to;
    if (openFile(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, to) != SQLITE_OK)
        return QStringLiteral("无法建立文件 %1：%2").arg(destination, to.error());
    QString error;
    // A copy cut off half way is thrown away whole, so it needs no journal of its own; the file
    // is flushed once at the end.
    single(to, "PRAGMA journal_mode=OFF", &error);
    single(to, "PRAGMA synchronous=OFF", &error);
    error.clear();

    sqlite3_backup *backup = sqlite3_backup_init(to.db, "main", from.db, "main");
    if (!backup)
        return QStringLiteral("无法复制数据库：%1").arg(to.error());
    int rc;
    for (;;) {
        rc = sqlite3_backup_step(backup, 1024);
        if (progress) {
            const qint64 total = sqlite3_backup_pagecount(backup);
            progress(total - sqlite3_backup_remaining(backup), total);
        }
        if (rc == SQLITE_OK)
            continue;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        break;
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        const int code = rc != SQLITE_DONE ? rc : finished;
        const QString why = QString::fromUtf8(sqlite3_errstr(code));
        if ((code & 0xFF) == SQLITE_FULL)
            return QStringLiteral("写入 %1 时磁盘已满：%2").arg(destination, why);
        if ((code & 0xFF) == SQLITE_CORRUPT || (code & 0xFF) == SQLITE_NOTADB)
            return QStringLiteral("读取数据库 %1 时出错（%2），数据库可能已损坏。").arg(source, why);
        return QStringLiteral("复制数据库时出错：%1").arg(why);
    }
    from.close();
    if (to.close() != SQLITE_OK)
        return QStringLiteral("无法关闭文件 %1：%2").arg(destination, to.error());

    // The copy carries the source's journal mode in its header; ours is the rollback journal.
    if (readFileHeader(destination).writeAheadLog) {
        if (const QString e = useRollbackJournal(destination); !e.isEmpty())
            return e;
    }
    if (!syncFile(destination))
        return QStringLiteral("无法把 %1 写入磁盘。").arg(destination);
    return QString();
}

QString checkNoWriter(const QString &path)
{
    Handle h;
    if (openFile(path, SQLITE_OPEN_READWRITE, h) != SQLITE_OK)
        return QStringLiteral("无法打开数据库 %1：%2").arg(path, h.error());
    sqlite3_busy_timeout(h.db, 1000);
    QString error;
    single(h, "BEGIN IMMEDIATE", &error);
    if (!error.isEmpty())
        return error;
    single(h, "ROLLBACK", &error);
    return QString();
}

QString useRollbackJournal(const QString &path)
{
    Handle h;
    if (openFile(path, SQLITE_OPEN_READWRITE, h) != SQLITE_OK)
        return QStringLiteral("无法打开数据库 %1：%2").arg(path, h.error());
    QString error;
    const QString mode = single(h, "PRAGMA journal_mode=DELETE", &error);
    if (!error.isEmpty())
        return QStringLiteral("无法设置数据库 %1 的日志方式：%2").arg(path, error);
    if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("数据库 %1 正被其他程序使用，无法设置日志方式（现为 %2）。").arg(path, mode);
    if (h.close() != SQLITE_OK)
        return QStringLiteral("无法关闭数据库 %1：%2").arg(path, h.error());
    return QString();
}

RowCounts rowCounts(const QString &path)
{
    RowCounts counts;
    Handle h;
    if (openFile(path, SQLITE_OPEN_READONLY, h) != SQLITE_OK)
        return counts;
    QString error;
    const QString customers = single(h, "SELECT count(*) FROM khb", &error);
    if (error.isEmpty())
        counts.customers = customers.toLongLong();
    error.clear();
    const QString history = single(h, "SELECT count(*) FROM dyb", &error);
    if (error.isEmpty())
        counts.history = history.toLongLong();
    return counts;
}

} // namespace store
