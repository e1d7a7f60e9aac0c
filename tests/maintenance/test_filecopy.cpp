// Whole-file copies: exact bytes, progress, permissions, and nothing left behind on failure.

#include "maintenance/filecopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <dlfcn.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Stands between the program and the disk: while armed, one bit of the next large write is
// flipped on its way, as a failing disk, cable or memory would do.
static std::atomic<bool> g_flipNextWrite{false};

extern "C" ssize_t write(int fd, const void *buffer, size_t count)
{
    using Write = ssize_t (*)(int, const void *, size_t);
    static const Write real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    if (count >= 4096 && g_flipNextWrite.exchange(false)) {
        std::vector<char> changed(static_cast<const char *>(buffer), static_cast<const char *>(buffer) + count);
        changed[count / 2] ^= 0x10;
        return real(fd, changed.data(), count);
    }
    return real(fd, buffer, count);
}

using maintenance::copyFileSafely;

namespace {

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}
QByteArray pattern(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 131 + i / 977) & 0xFF);
    return b;
}

} // namespace

TEST(FileCopy, ReplacesALargerFileWithAnExactCopyAndReportsProgress)
{
    QTemporaryDir dir;
    const QByteArray data = pattern(3 * 1024 * 1024 + 17); // several chunks and a tail
    write(dir.filePath("src"), data);
    write(dir.filePath("dst"), pattern(5 * 1024 * 1024));
    std::vector<std::pair<qint64, qint64>> steps;
    const auto result = copyFileSafely(dir.filePath("src"), dir.filePath("dst"),
                                       [&](qint64 done, qint64 total) { steps.emplace_back(done, total); });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(read(dir.filePath("dst")), data);
    EXPECT_EQ(result.size, data.size());
    EXPECT_EQ(result.hash, QCryptographicHash::hash(data, QCryptographicHash::Sha256));
    ASSERT_GE(steps.size(), 4u);
    EXPECT_EQ(steps.front().first, 0);
    EXPECT_EQ(steps.back().first, data.size());
    for (size_t i = 1; i < steps.size(); ++i) {
        EXPECT_GT(steps[i].first, steps[i - 1].first);
        EXPECT_EQ(steps[i].second, data.size());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"dst", "src"}));
}

TEST(FileCopy, NewFileIsReadableByOthersAndAnOldOneKeepsItsPermissions)
{
    QTemporaryDir dir;
    write(dir.filePath("src"), "abc");
    ASSERT_TRUE(copyFileSafely(dir.filePath("src"), dir.filePath("new")).ok());
    EXPECT_TRUE(QFile::permissions(dir.filePath("new")) & QFile::ReadOther);

    write(dir.filePath("old"), "xyz");
    QFile::setPermissions(dir.filePath("old"), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(copyFileSafely(dir.filePath("src"), dir.filePath("old")).ok());
    EXPECT_EQ(read(dir.filePath("old")), "abc");
    EXPECT_FALSE(QFile::permissions(dir.filePath("old")) & QFile::ReadOther);
}

TEST(FileCopy, EmptySourceGivesAnEmptyFile)
{
    QTemporaryDir dir;
    write(dir.filePath("src"), {});
    write(dir.filePath("dst"), "old contents");
    ASSERT_TRUE(copyFileSafely(dir.filePath("src"), dir.filePath("dst")).ok());
    EXPECT_EQ(QFileInfo(dir.filePath("dst")).size(), 0);
}

TEST(FileCopy, FailuresLeaveTheDestinationAsItWas)
{
    QTemporaryDir dir;
    write(dir.filePath("src"), "new");
    write(dir.filePath("dst"), "old");
    const struct {
        const char *name;
        QString source, destination;
        const char *says;
    } cases[] = {
        {"missing source", dir.filePath("none"), dir.filePath("dst"), "找不到文件"},
        {"source is a folder", dir.path(), dir.filePath("dst"), "找不到文件"},
        {"missing folder", dir.filePath("src"), dir.filePath("no/dst"), "不存在"},
        {"destination is a folder", dir.filePath("src"), dir.path(), "文件夹"},
        {"same file", dir.filePath("src"), dir.filePath("./src"), "同一个文件"},
        {"folder that takes no files", dir.filePath("src"), "/proc/lanshi-backup.mdb", "无法在文件夹"},
    };
    for (const auto &c : cases) {
        const auto result = copyFileSafely(c.source, c.destination);
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(c.says))) << c.name << ": " << result.error.toStdString();
    }
    EXPECT_EQ(read(dir.filePath("dst")), "old");
    EXPECT_EQ(read(dir.filePath("src")), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"dst", "src"}));
    EXPECT_FALSE(QFileInfo::exists("/proc/lanshi-backup.mdb"));
}

TEST(FileCopy, AByteChangedOnTheWayIsRefusedAndTheDestinationKept)
{
    QTemporaryDir dir;
    const QByteArray data = pattern(3 * 1024 * 1024);
    write(dir.filePath("src"), data);
    write(dir.filePath("dst"), "the good old backup");
    g_flipNextWrite = true;
    const auto result = copyFileSafely(dir.filePath("src"), dir.filePath("dst"));
    ASSERT_FALSE(g_flipNextWrite.load()) << "the copy wrote nothing large enough";
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(QStringLiteral("内容与原文件不符"))) << result.error.toStdString();
    EXPECT_EQ(read(dir.filePath("dst")), "the good old backup");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"dst", "src"}));
}
