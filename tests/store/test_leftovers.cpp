// Temporary files a killed backup, restore or export left: which names go, and which never do.

#include "store/leftovers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Leftover {
    const char *name;
    bool removed;
};

QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

void expectClean(const std::vector<Leftover> &files, const std::function<QStringList(const QString &)> &clean)
{
    QTemporaryDir dir;
    QStringList kept, removed;
    for (const Leftover &f : files) {
        touch(dir.filePath(QString::fromUtf8(f.name)));
        (f.removed ? removed : kept) << QString::fromUtf8(f.name);
    }
    kept.sort();
    removed.sort();
    QStringList said = clean(dir.path());
    said.sort();
    EXPECT_EQ(namesIn(dir.path()), kept);
    EXPECT_EQ(said, removed);
}

} // namespace

TEST(Leftovers, OfOneTargetOnlyItsOwnTemporaryFilesGo)
{
    expectClean(
        {
            {".备份.mdb.Ab12Cd.tmp", true},
            {".备份.mdb.Ab12Cd.tmp-journal", true},
            {".备份.mdb.zzzzzz.tmp-wal", true},
            {".备份.mdb.zzzzzz.tmp-shm", true},
            {"备份.mdb", false},              // the target itself
            {".备份.mdb.Ab12C.tmp", false},    // five characters: not our naming
            {".备份.mdb.Ab12Cd.tmp.old", false},
            {".备份.mdb.Ab1-Cd.tmp", false},
            {".备份.mdb.Ab12Cd", false},       // only workbooks were ever named without .tmp
            {"备份.mdb.Ab12Cd.tmp", false},    // not hidden
            {".其他.mdb.Ab12Cd.tmp", false},   // another target
            {".x备份.mdb.Ab12Cd.tmp", false},
        },
        [](const QString &dir) { return store::removeLeftoversOf(QDir(dir).filePath(QStringLiteral("备份.mdb"))); });

    expectClean(
        {
            {".记录.xlsx.Ab12Cd", true}, // an export of an earlier version
            {".记录.xlsx.Ab12Cd.tmp", true},
            {".记录.xlsx", false},
            {"记录.xlsx", false},
        },
        [](const QString &dir) { return store::removeLeftoversOf(QDir(dir).filePath(QStringLiteral("记录.xlsx"))); });
}

TEST(Leftovers, InTheProgramFolderEveryTemporaryFileOfOursGoes)
{
    expectClean(
        {
            {".sjk.mdb.restore.Ab12Cd.tmp", true},
            {"..sjk.mdb.restore.Ab12Cd.tmp.Xy98Zz.tmp", true}, // the copy into the restore's file
            {".sjk.mdb.restore.Ab12Cd.tmp-journal", true},
            {".sjk-恢复前-20260101-120000.mdb.Qw12Er.tmp", true},
            {".备份.mdb.Ab12Cd.tmp", true},
            {".记录.xlsx.Ab12Cd", true},
            {"sjk.mdb", false},
            {"sjk-恢复前-20260101-120000.mdb", false},
            {"mqtx.ini", false},
            {"khb.xls", false},
            {".mqtx.ini.Ab12Cd", false},
            {".config", false},
            {"sjk.mdb-journal", false}, // SQLite rolls it back; it is no file of ours
        },
        [](const QString &dir) { return store::removeLeftoversIn(dir); });
}

TEST(Leftovers, AFileARunningOperationHoldsStays)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("b.mdb"));
    auto running = std::make_unique<QTemporaryFile>(store::temporaryTemplate(target));
    ASSERT_TRUE(store::openInUse(*running));
    const QString name = running->fileName();
    touch(name + QStringLiteral("-journal"));
    touch(dir.filePath(QStringLiteral(".b.mdb.Ab12Cd.tmp")));

    EXPECT_EQ(store::removeLeftoversOf(target), QStringList{QStringLiteral(".b.mdb.Ab12Cd.tmp")});
    EXPECT_TRUE(QFile::exists(name));
    EXPECT_TRUE(QFile::exists(name + QStringLiteral("-journal")));
    EXPECT_TRUE(store::removeLeftoversIn(dir.path()).isEmpty());

    // The operation ends without tidying up, as a killed one would.
    running->setAutoRemove(false);
    running.reset();
    EXPECT_EQ(store::removeLeftoversIn(dir.path()).size(), 2);
    EXPECT_TRUE(namesIn(dir.path()).isEmpty());
}
