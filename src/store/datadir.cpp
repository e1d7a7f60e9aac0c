#include "store/datadir.h"

#include "store/appdir.h"
#include "store/failures.h"
#include "store/leftovers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryFile>

namespace store {

namespace {

QString absolute(const QString &path) { return QDir::cleanPath(QDir::current().absoluteFilePath(path)); }

// Two names of one folder (/bin and /usr/bin where /bin is a link) are the same folder.
bool sameFolder(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return absolute(a) == absolute(b);
}

QString otherFolderHint()
{
    return QStringLiteral("\n数据库和各项设置都保存在数据文件夹中，程序不能启动。"
                          "可以用 --data-dir 选项或环境变量 LANSHI_DATA_DIR 指定其他文件夹。");
}

} // namespace

bool canWriteIn(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    // Named as the program's temporary files are, so a probe that a crash left is cleaned up.
    QTemporaryFile probe(temporaryTemplate(QDir(folder).filePath(QStringLiteral("lanshi-write-check"))));
    return probe.open();
}

DataDirChoice chooseDataDir(const DataDirRequest &request, const std::function<bool(const QString &)> &writable)
{
    if (!request.option.isEmpty())
        return {absolute(request.option), DataDirSource::Option};
    if (!request.environment.isEmpty())
        return {absolute(request.environment), DataDirSource::Environment};
    if (!request.programFolder.isEmpty()) {
        const QString program = absolute(request.programFolder);
        bool system = false;
        for (const QString &folder : request.systemFolders)
            system = system || sameFolder(program, folder);
        // A portable copy, and the build folder: the data stays beside the program.
        if (!system && (QFileInfo(QDir(program).filePath(QStringLiteral("sjk.mdb"))).isFile() || writable(program)))
            return {program, DataDirSource::ProgramFolder};
    }
    return {absolute(request.userFolder), DataDirSource::UserFolder};
}

DataDirRequest runningDataDirRequest(const QString &option)
{
    DataDirRequest request;
    request.option = option;
    request.environment = qEnvironmentVariable("LANSHI_DATA_DIR");
    request.programFolder = QCoreApplication::applicationDirPath();
    QString shared = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (shared.isEmpty())
        shared = QDir::home().filePath(QStringLiteral(".local/share"));
    request.userFolder = QDir(shared).filePath(QStringLiteral("lanshi"));
    // Root may write in /usr/bin, but an installed program's data does not belong there.
    request.systemFolders = {QStringLiteral(LANSHI_INSTALL_BINDIR), QStringLiteral("/usr/bin"),
                             QStringLiteral("/usr/local/bin"), QStringLiteral("/bin")};
    return request;
}

QString prepareDataDir(const QString &folder)
{
    const QFileInfo info(folder);
    const QString shown = QDir::toNativeSeparators(folder);
    if (info.exists() && !info.isDir())
        return QStringLiteral("不能使用数据文件夹“%1”：这是一个文件，不是文件夹。").arg(shown) + otherFolderHint();
    if (!info.exists() && !QDir().mkpath(folder)) {
        // Say where it stopped: the nearest part of the path that exists.
        QString up = QDir::cleanPath(folder);
        while (!QFileInfo::exists(up) && QFileInfo(up).path() != up)
            up = QFileInfo(up).path();
        const QString reason = QFileInfo(up).isDir()
                                   ? QStringLiteral("不能在“%1”中建立文件夹（没有写入权限或该位置只读）")
                                   : QStringLiteral("路径中的“%1”是文件，不是文件夹");
        return QStringLiteral("无法建立数据文件夹“%1”：%2。").arg(shown, reason.arg(QDir::toNativeSeparators(up)))
               + otherFolderHint();
    }
    if (!canWriteIn(folder))
        return QStringLiteral("无法在数据文件夹“%1”中写入文件（没有写入权限或该位置只读）。").arg(shown)
               + otherFolderHint();
    return {};
}

QString DataDir::lockFileName() { return QStringLiteral("lanshi.lock"); }

DataDir::DataDir(DataDirChoice choice, std::unique_ptr<QLockFile> lock)
    : m_choice(std::move(choice)), m_lock(std::move(lock))
{
}

DataDir::~DataDir() = default;

std::unique_ptr<DataDir> DataDir::open(const DataDirRequest &request, QString *error)
{
    const DataDirChoice choice = chooseDataDir(request);
    const QString problem = prepareDataDir(choice.path);
    if (!problem.isEmpty()) {
        *error = problem;
        return nullptr;
    }
    return lock(choice, error);
}

std::unique_ptr<DataDir> DataDir::openFolder(const QString &folder, QString *error)
{
    const DataDirChoice choice{QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), DataDirSource::Option};
    if (!QFileInfo(choice.path).isDir()) {
        *error = QStringLiteral("数据文件夹“%1”不存在。").arg(QDir::toNativeSeparators(choice.path));
        return nullptr;
    }
    if (!canWriteIn(choice.path)) {
        *error = QStringLiteral("无法在数据文件夹“%1”中写入文件（没有写入权限或该位置只读）。")
                     .arg(QDir::toNativeSeparators(choice.path));
        return nullptr;
    }
    return lock(choice, error);
}

std::unique_ptr<DataDir> DataDir::lock(const DataDirChoice &choice, QString *error)
{
    const QString lockPath = QDir(choice.path).filePath(lockFileName());
    auto lock = std::make_unique<QLockFile>(lockPath);
    // The program holds its data for hours: a lock is stale only when its process is gone, never
    // for its age. A lock from another computer (a shared folder) cannot be checked at all.
    lock->setStaleLockTime(0);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() == QLockFile::LockFailedError) {
        // A lock file that names no process: its maker was killed between creating it and writing
        // its process into it, which takes microseconds. Still unnamed a moment later, it is stale
        // (otherwise the folder would stay locked for good).
        qint64 pid = 0;
        QString host, name;
        for (int tries = 0; tries < 5 && !lock->getLockInfo(&pid, &host, &name); ++tries)
            QThread::msleep(40);
        if (!lock->getLockInfo(&pid, &host, &name) && lock->removeStaleLockFile())
            locked = lock->tryLock(0);
    }
    if (!locked) {
        const QString shown = QDir::toNativeSeparators(choice.path);
        if (lock->error() != QLockFile::LockFailedError) {
            const QString cause = writeCause(choice.path);
            *error = QStringLiteral("无法在数据文件夹“%1”中建立锁文件 %2%3。")
                         .arg(shown, lockFileName(), cause.isEmpty() ? QString() : QStringLiteral("（%1）").arg(cause))
                     + otherFolderHint();
            return nullptr;
        }
        qint64 pid = 0;
        QString host, name;
        const bool known = lock->getLockInfo(&pid, &host, &name);
        QString holder;
        if (known && (host.isEmpty() || host == QSysInfo::machineHostName()))
            holder = QStringLiteral("（本机的进程 %1）").arg(pid);
        else if (known)
            holder = QStringLiteral("（计算机“%1”上的进程 %2）").arg(host).arg(pid);
        *error = QStringLiteral("数据文件夹“%1”正在被另一个蓝石竞技通使用%2。\n"
                                "同一份数据同时只能由一个程序使用：请先关闭另一个程序窗口或等它的 lanshi print 命令结束。\n"
                                "如果确认没有其他程序在使用这份数据（例如另一台计算机曾异常关机），"
                                "可以删除文件“%3”后再启动。")
                     .arg(shown, holder, QDir::toNativeSeparators(lockPath));
        return nullptr;
    }
    setAppDir(choice.path);
    return std::unique_ptr<DataDir>(new DataDir(choice, std::move(lock)));
}

} // namespace store
