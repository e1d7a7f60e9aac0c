#include "maintenance/filecopy.h"

#include "store/leftovers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace maintenance {

namespace {
constexpr qint64 kChunk = 1 << 20;

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }
} // namespace

QByteArray fileHash(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件 %1：%2").arg(path, f.errorString());
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&f)) {
        if (error)
            *error = QStringLiteral("无法读取文件 %1：%2").arg(path, f.errorString());
        return {};
    }
    return hash.result();
}

QString replaceFile(const QString &source, const QString &target)
{
    // rename(2) replaces an existing target atomically; QFile::rename refuses to.
    if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
        return QStringLiteral("无法把 %1 改名为 %2：%3").arg(source, target, systemError());
    // The new directory entry must reach the disk too, or a crash could bring the old file back.
    const QByteArray dir = QFile::encodeName(QFileInfo(target).absolutePath());
    if (FILE *d = std::fopen(dir.constData(), "r")) {
        ::fsync(fileno(d));
        std::fclose(d);
    }
    return QString();
}

CopyResult copyInto(const QString &source, QFile &out, const QString &destination, const CopyProgress &progress)
{
    CopyResult result;
    QFile in(source);
    if (!QFileInfo(source).isFile()) {
        result.error = QStringLiteral("找不到文件 %1。").arg(source);
        return result;
    }
    if (!in.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("无法打开文件 %1：%2").arg(source, in.errorString());
        return result;
    }
    const QString folder = QFileInfo(destination).absolutePath();
    const qint64 total = in.size();
    QCryptographicHash sourceHash(QCryptographicHash::Sha256);
    QByteArray buffer;
    qint64 done = 0;
    if (progress)
        progress(0, total);
    for (;;) {
        buffer = in.read(kChunk);
        if (buffer.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                result.error = QStringLiteral("读取文件 %1 时出错：%2").arg(source, in.errorString());
                return result;
            }
            break;
        }
        sourceHash.addData(buffer);
        if (out.write(buffer) != buffer.size()) {
            result.error = QStringLiteral("写入文件夹 %1 时出错（磁盘可能已满）：%2").arg(folder, out.errorString());
            return result;
        }
        done += buffer.size();
        if (progress)
            progress(done, total);
    }
    if (!out.flush() || ::fsync(out.handle()) != 0) {
        result.error = QStringLiteral("写入文件夹 %1 时出错（磁盘可能已满）：%2").arg(folder, systemError());
        return result;
    }

    // What lies on the disk, read back, must be what was read from the source.
    result.hash = sourceHash.result();
    result.size = done;
    QString error;
    const QByteArray written = fileHash(out.fileName(), &error);
    if (QFileInfo(out.fileName()).size() != done || written != result.hash) {
        result.error = error.isEmpty() ? QStringLiteral("复制到 %1 的内容与原文件不符，已放弃。").arg(destination) : error;
        return result;
    }
    if (done != total || QFileInfo(source).size() != done) {
        result.error = QStringLiteral("文件 %1 在复制过程中被改动，请重试。").arg(source);
        return result;
    }
    return result;
}

CopyResult copyFileSafely(const QString &source, const QString &destination, const CopyProgress &progress)
{
    CopyResult result;
    if (!QFileInfo(source).isFile()) {
        result.error = QStringLiteral("找不到文件 %1。").arg(source);
        return result;
    }
    const QFileInfo target(destination);
    if (target.isDir()) {
        result.error = QStringLiteral("%1 是一个文件夹，请给出文件名。").arg(destination);
        return result;
    }
    if (QFileInfo::exists(destination) && target.canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
        result.error = QStringLiteral("源文件和目标文件是同一个文件：%1").arg(destination);
        return result;
    }
    const QDir folder = target.absoluteDir();
    if (!folder.exists()) {
        result.error = QStringLiteral("文件夹 %1 不存在。").arg(folder.path());
        return result;
    }

    store::removeLeftoversOf(destination);
    QTemporaryFile out(store::temporaryTemplate(destination));
    if (!store::openInUse(out)) {
        result.error = QStringLiteral("无法在文件夹 %1 中写入文件：%2").arg(folder.path(), out.errorString());
        return result;
    }
    result = copyInto(source, out, destination, progress);
    if (!result.ok())
        return result;

    // A temporary file is private to its owner; the copy gets the permissions of the file it
    // replaces, or those of an ordinary new file.
    out.setPermissions(QFileInfo::exists(destination)
                           ? QFile::permissions(destination)
                           : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    out.close();
    const QString error2 = replaceFile(out.fileName(), destination);
    if (!error2.isEmpty()) {
        result.error = error2;
        return result; // out removes the temporary file
    }
    out.setAutoRemove(false); // it is the destination now
    return result;
}

} // namespace maintenance
