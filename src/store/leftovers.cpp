#include "store/leftovers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace store {

namespace {

// Six characters as QTemporaryFile makes them. Earlier versions named the export's file without
// ".tmp", and SQLite puts "-journal", "-wal" or "-shm" beside a database it writes.
const QString kRandom = QStringLiteral("\\.[A-Za-z0-9]{6}");
const QString kSuffix = QStringLiteral("(?<tmp>\\.tmp)?(?<side>-journal|-wal|-shm)?$");

// A file some running operation holds has a lock on it; a lock can be had on any other.
bool inUse(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // releases the lock taken for the test
    return held;
}

QStringList removeMatching(const QString &folder, const QRegularExpression &names)
{
    QStringList removed;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : entries) {
        const QRegularExpressionMatch m = names.match(name);
        if (!m.hasMatch())
            continue;
        // The export's old names lack ".tmp": only those of workbooks are taken without it.
        if (m.captured(QStringLiteral("tmp")).isEmpty()
            && !m.captured(QStringLiteral("target")).endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
            continue;
        // A side file goes with its database: kept while that is in use.
        const QString owner = name.left(name.size() - m.captured(QStringLiteral("side")).size());
        if (inUse(dir.filePath(owner)))
            continue;
        if (QFile::remove(dir.filePath(name)))
            removed << name;
    }
    return removed;
}

} // namespace

QString temporaryTemplate(const QString &target)
{
    const QFileInfo info(target);
    return info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.tmp").arg(info.fileName()));
}

bool openInUse(QTemporaryFile &file)
{
    if (!file.open())
        return false;
    ::flock(file.handle(), LOCK_EX | LOCK_NB);
    return true;
}

QStringList removeLeftoversOf(const QString &target)
{
    const QFileInfo info(target);
    const QRegularExpression names(QStringLiteral("^\\.(?<target>%1)%2%3")
                                       .arg(QRegularExpression::escape(info.fileName()), kRandom, kSuffix));
    return removeMatching(info.absolutePath(), names);
}

QStringList removeLeftoversIn(const QString &folder)
{
    // A temporary of a temporary (the restore copies into a file of its own) starts with "..".
    const QRegularExpression names(QStringLiteral("^\\.(?<target>.+)%1%2").arg(kRandom, kSuffix));
    return removeMatching(folder, names);
}

} // namespace store
