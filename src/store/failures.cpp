#include "store/failures.h"

#include "store/appdir.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace store {

namespace {

// Below this a folder's disk counts as full: SQLite's journal or a voucher's page needs more.
constexpr qint64 kAlmostNothing = 64 * 1024;

bool diskFull(const QString &folder)
{
    const QStorageInfo disk(folder);
    return disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < kAlmostNothing;
}

bool writable(const QString &path) { return ::access(QFile::encodeName(path).constData(), W_OK) == 0; }

} // namespace

QString folderLabel(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (clean == QDir::cleanPath(QFileInfo(appDir()).absoluteFilePath()))
        return QStringLiteral("数据文件夹“%1”").arg(QDir::toNativeSeparators(clean));
    return QStringLiteral("文件夹“%1”").arg(QDir::toNativeSeparators(clean));
}

QString writeCause(const QString &folder, int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘已满");
    case EACCES:
    case EPERM:
    case EROFS: return QStringLiteral("没有写入权限");
    default: break;
    }
    if (diskFull(folder))
        return QStringLiteral("磁盘已满");
    if (!writable(folder))
        return QStringLiteral("没有写入权限");
    return error ? QString::fromLocal8Bit(std::strerror(error)) : QString();
}

QString writeFailure(const QSqlError &error)
{
    // SQLite's primary result codes, as the driver reports them.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    const QString file = databasePath();
    const QString folder = QFileInfo(file).absolutePath();
    if (code == 13 /* SQLITE_FULL */ || ((code == 10 || code == 14) && diskFull(folder)))
        return QStringLiteral("%1所在的磁盘已满").arg(folderLabel(folder));
    if (code == 8 /* SQLITE_READONLY */ || code == 3 /* SQLITE_PERM */
        || ((code == 10 || code == 14) && !(writable(file) && writable(folder)))) {
        if (!writable(folder))
            return QStringLiteral("%1没有写入权限").arg(folderLabel(folder));
        return QStringLiteral("数据库文件“%1”没有写入权限").arg(QDir::toNativeSeparators(file));
    }
    return error.text();
}

} // namespace store
