// The data folder: the folder each kind of start chooses, a write check that holds for root too,
// the folder's creation with a message naming it, and the lock that turns a second copy away.
//
// Tests run as root in CI, where permission bits stop nobody. A folder nothing can be written in
// is therefore /proc (the kernel refuses new files there to root as well) or a path that runs
// through a regular file; a read-only folder holding sjk.mdb cannot be made for root, so that
// case answers the choice's write check itself.

#include "storetest.h"

#include "store/appdir.h"
#include "store/datadir.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using store::DataDirSource;

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

// Runs with the current folder set to dir.
class InFolder {
public:
    explicit InFolder(const QString &dir) : m_old(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~InFolder() { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

TEST(DataDirChoice, EachKindOfStartFindsItsFolder)
{
    struct Case {
        const char *name;
        const char *option;      // relative: taken from the current folder
        const char *environment; // "" = unset or empty
        bool programHasDatabase;
        bool programWritable; // what the write check says of the program folder
        bool programInstalled;
        DataDirSource expected;
    };
    const Case cases[] = {
        {"the option comes first", "chosen/data", "env", true, true, false, DataDirSource::Option},
        {"then the environment", "", "env", true, true, false, DataDirSource::Environment},
        {"a portable copy beside its sjk.mdb, even read-only", "", "", true, false, false, DataDirSource::ProgramFolder},
        {"a program folder it may write in (the build folder)", "", "", false, true, false,
         DataDirSource::ProgramFolder},
        {"a read-only program folder without sjk.mdb", "", "", false, false, false, DataDirSource::UserFolder},
        {"an installed program, even with sjk.mdb beside it", "", "", true, true, true, DataDirSource::UserFolder},
    };
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const InFolder here(work.path());
    const QDir w(work.path());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir program;
        if (c.programHasDatabase)
            touch(QDir(program.path()).filePath("sjk.mdb"));
        store::DataDirRequest request;
        request.option = QString::fromUtf8(c.option);
        request.environment = QString::fromUtf8(c.environment);
        request.programFolder = program.path();
        request.userFolder = w.filePath("user");
        request.systemFolders = {QStringLiteral("/usr/bin")};
        if (c.programInstalled)
            request.systemFolders << program.path();
        const store::DataDirChoice choice =
            store::chooseDataDir(request, [&](const QString &folder) {
                EXPECT_EQ(folder, program.path());
                return c.programWritable;
            });
        const QString expected = c.expected == DataDirSource::Option        ? w.filePath("chosen/data")
                                 : c.expected == DataDirSource::Environment ? w.filePath("env")
                                 : c.expected == DataDirSource::ProgramFolder ? program.path()
                                                                              : w.filePath("user");
        EXPECT_EQ(choice.source, c.expected);
        EXPECT_EQ(choice.path, expected);
    }
}

// The real write check and the real file system: a program in a folder nobody can write in
// (root included) keeps its data in the user's folder; an installed folder is known under
// another name of it too.
TEST(DataDirChoice, ARealUnwritableOrInstalledProgramFolderSendsTheDataToTheUser)
{
    QTemporaryDir work;
    const QDir w(work.path());
    store::DataDirRequest request;
    request.userFolder = w.filePath("user");
    request.programFolder = QStringLiteral("/proc");
    EXPECT_EQ(store::chooseDataDir(request).source, DataDirSource::UserFolder);
    EXPECT_EQ(store::chooseDataDir(request).path, w.filePath("user"));

    ASSERT_TRUE(w.mkdir("bin"));
    ASSERT_TRUE(QFile::link(w.filePath("bin"), w.filePath("bin-link")));
    request.programFolder = w.filePath("bin");
    EXPECT_EQ(store::chooseDataDir(request).source, DataDirSource::ProgramFolder);
    request.systemFolders = {w.filePath("bin-link")};
    EXPECT_EQ(store::chooseDataDir(request).source, DataDirSource::UserFolder);
}

TEST(DataDirWriteCheck, TriesAFileAndLeavesNothingBehind)
{
    QTemporaryDir work;
    const QDir w(work.path());
    touch(w.filePath("file"));
    ASSERT_TRUE(w.mkdir("locked"));
    ASSERT_EQ(::chmod(QFile::encodeName(w.filePath("locked")).constData(), 0555), 0);
    struct Case {
        const char *name;
        QString folder;
        bool writable;
    };
    const Case cases[] = {
        {"a temporary folder", work.path(), true},
        {"/proc, which refuses root too", QStringLiteral("/proc"), false},
        {"a folder that does not exist", w.filePath("missing"), false},
        {"a regular file", w.filePath("file"), false},
        {"a path through a regular file", w.filePath("file/sub"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(store::canWriteIn(c.folder), c.writable) << c.name;
    // Permission bits stop everyone but root.
    if (::geteuid() != 0) {
        EXPECT_FALSE(store::canWriteIn(w.filePath("locked")));
    }
    EXPECT_EQ(w.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"file", "locked"}));
}

TEST(DataDirPreparation, CreatesAMissingFolderOrNamesTheOneItCannotUse)
{
    QTemporaryDir work;
    const QDir w(work.path());
    touch(w.filePath("file"));
    struct Case {
        const char *name;
        QString folder;
        QStringList said; // empty: usable
    };
    const Case cases[] = {
        {"a missing folder, with its parents", w.filePath("a/b/c"), {}},
        {"an existing folder", work.path(), {}},
        {"a path through a regular file", w.filePath("file/data"),
         {"无法建立数据文件夹“" + w.filePath("file/data") + "”", "“" + w.filePath("file") + "”是文件"}},
        {"a regular file", w.filePath("file"), {"“" + w.filePath("file") + "”", "这是一个文件"}},
        {"a folder that cannot be made", QStringLiteral("/proc/lanshi-data"),
         {"无法建立数据文件夹“/proc/lanshi-data”", "不能在“/proc”中建立文件夹"}},
        {"a folder nothing can be written in", QStringLiteral("/proc"), {"无法在数据文件夹“/proc”中写入文件"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString message = store::prepareDataDir(c.folder);
        if (c.said.isEmpty()) {
            EXPECT_EQ(message, QString());
            EXPECT_TRUE(QFileInfo(c.folder).isDir());
        }
        for (const QString &part : c.said)
            EXPECT_TRUE(message.contains(part)) << message.toStdString();
        if (!c.said.isEmpty()) {
            EXPECT_TRUE(message.contains("LANSHI_DATA_DIR")) << message.toStdString();
        }
    }
}

class DataDirLockTest : public ::testing::Test {
protected:
    void TearDown() override { store::setAppDir(QString()); }
    std::unique_ptr<store::DataDir> open(QString *error)
    {
        store::DataDirRequest request;
        request.option = m_data;
        return store::DataDir::open(request, error);
    }
    QTemporaryDir m_work;
    QString m_data = QDir(m_work.path()).filePath("data");
};

TEST_F(DataDirLockTest, ASecondCopyIsToldTheDataIsInUseUntilTheFirstEnds)
{
    QString error;
    std::unique_ptr<store::DataDir> first = open(&error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_EQ(first->path(), m_data);
    EXPECT_EQ(store::appDir(), m_data);
    EXPECT_TRUE(QFile::exists(QDir(m_data).filePath("lanshi.lock")));

    EXPECT_FALSE(open(&error));
    EXPECT_TRUE(error.contains("数据文件夹“" + m_data + "”正在被另一个蓝石竞技通使用")) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::number(QCoreApplication::applicationPid()))) << error.toStdString();
    EXPECT_TRUE(error.contains(QDir(m_data).filePath("lanshi.lock"))) << error.toStdString();

    first.reset();
    EXPECT_FALSE(QFile::exists(QDir(m_data).filePath("lanshi.lock")));
    EXPECT_TRUE(open(&error)) << error.toStdString();
}

// A copy that was killed leaves its lock file; the next start takes the data over.
TEST_F(DataDirLockTest, TheLockOfAKilledCopyIsTakenOver)
{
    ASSERT_TRUE(QDir().mkpath(m_data));
    const QString lockPath = QDir(m_data).filePath("lanshi.lock");
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        QLockFile lock(lockPath);
        ::_exit(lock.tryLock(0) ? 0 : 1); // no unlock: as if killed
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(lockPath));

    QString error;
    EXPECT_TRUE(open(&error)) << error.toStdString();

    // Killed between creating the lock file and writing its process into it: an empty file.
    std::unique_ptr<store::DataDir> taken = open(&error);
    taken.reset();
    QFile empty(lockPath);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_TRUE(open(&error)) << error.toStdString();
}

} // namespace
