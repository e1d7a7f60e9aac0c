#include "storetest.h"

#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/statements.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace {

using namespace store;

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Test-only raw access for building foreign or damaged files.
void runSql(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("test-raw");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements)
            ASSERT_TRUE(q.exec(s)) << s.toStdString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

qint64 pragma(const QString &path, const QString &which)
{
    const QString name = QStringLiteral("test-pragma");
    qint64 v = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("PRAGMA ") + which) && q.next())
            v = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(name);
    return v;
}

QStringList columnsOf(Connection &c, const Statement &s)
{
    DataSource ds(c);
    ds.setStatement(s);
    EXPECT_TRUE(ds.refresh()) << ds.errorText().toStdString();
    return ds.columns();
}

TEST(CreateDatabase, MissingFileIsCreatedWithTheDeliveredRows)
{
    TempAppDir dir;
    ASSERT_FALSE(QFile::exists(dir.file(QStringLiteral("sjk.mdb"))));
    const DatabaseStatus status = ensureDatabase();
    ASSERT_TRUE(status.ok) << status.errorText.toStdString();
    EXPECT_TRUE(status.created);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("sjk.mdb"))));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("sjk.mdb.new"))));

    Connection c;
    ASSERT_TRUE(c.isOpen()) << c.errorText().toStdString();
    DataSource ds(c);
    const auto count = [&](const Statement &s) {
        ds.setStatement(s);
        EXPECT_TRUE(ds.refresh()) << ds.errorText().toStdString();
        return ds.recordCount();
    };
    EXPECT_EQ(count(statements::ownCompany()), 1);
    EXPECT_EQ(count(statements::customers()), 1);
    EXPECT_EQ(count(statements::printOffsets()), 1);
    EXPECT_EQ(count(statements::generalLayout()), 1);
    EXPECT_EQ(count(statements::history()), 0);
    EXPECT_EQ(count(statements::purposes()), 5);
    QStringList purposes;
    for (ds.moveFirst(); !ds.eof(); ds.moveNext())
        purposes << ds.text(QStringLiteral("yt"));
    EXPECT_EQ(purposes, (QStringList{QStringLiteral("货款"), QStringLiteral("工资"),
                                     QStringLiteral("差旅费"), QStringLiteral("办公用品"),
                                     QStringLiteral("往来款")}));

    // The sample customer is complete and its initials have one capital per character.
    ds.setStatement(statements::customers());
    ds.refresh();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(ds.text(i).isEmpty()) << i;
    EXPECT_EQ(ds.text(QStringLiteral("gsmczmjc")).size(), ds.text(QStringLiteral("gsmc")).size());
    EXPECT_EQ(ds.text(QStringLiteral("gsmczmjc")), QStringLiteral("SHHDJCYXGS"));

    ds.setStatement(statements::ownCompany());
    ds.refresh();
    for (const char *col : {"gsmc", "khh", "zhh", "hp", "hc"})
        EXPECT_FALSE(ds.text(QString::fromLatin1(col)).isEmpty()) << col;
    EXPECT_EQ(ds.text(QStringLiteral("zhh")), QStringLiteral("0200001009014412345"));

    // Every calibration starts at zero: fields print at their base positions.
    ds.setStatement(statements::generalLayout());
    ds.refresh();
    ASSERT_EQ(ds.columnCount(), 38);
    for (int i = 0; i < 38; ++i)
        EXPECT_EQ(ds.text(i), QStringLiteral("0")) << ds.columns().at(i).toStdString();
    ds.setStatement(statements::printOffsets());
    ds.refresh();
    EXPECT_EQ(ds.text(QStringLiteral("djpzup")), QStringLiteral("0"));
    EXPECT_EQ(ds.text(QStringLiteral("djpzleft")), QStringLiteral("0"));
}

TEST(CreateDatabase, FileCarriesOurApplicationIdAndVersion)
{
    TempAppDir dir;
    ASSERT_TRUE(ensureDatabase().ok);
    EXPECT_EQ(pragma(databasePath(), QStringLiteral("application_id")), 0x4C534A54);
    EXPECT_EQ(pragma(databasePath(), QStringLiteral("user_version")), kSchemaVersion);
    EXPECT_EQ(checkDatabaseFile(databasePath()), QString());
}

TEST_F(StoreTest, ColumnOrdersAreTheDocumentedOnes)
{
    Connection c;
    EXPECT_EQ(columnsOf(c, statements::customers()),
              QStringLiteral("gsmc zhh khh sheng shi gsmczmjc gsmcdyjc gsmcdyzm").split(QLatin1Char(' ')));
    EXPECT_EQ(columnsOf(c, statements::ownCompany()),
              QStringLiteral("gsmc khh zhh hp hc").split(QLatin1Char(' ')));
    EXPECT_EQ(columnsOf(c, statements::purposes()), QStringList{QStringLiteral("yt")});
    EXPECT_EQ(columnsOf(c, statements::history()),
              QStringLiteral("xh dyrq fkrq pzlx pzhm fkje fkyt fkrmc fkrzhh fkrkhh skrmc skrzhh "
                             "skrkhh sheng shi")
                  .split(QLatin1Char(' ')));
    EXPECT_EQ(columnsOf(c, statements::printOffsets()),
              QStringLiteral("djpzup djpzleft").split(QLatin1Char(' ')));
    EXPECT_EQ(columnsOf(c, statements::generalLayout()),
              QStringLiteral("rqnl rqnu rqyl rqyu rqrl rqru hkrqcl hkrqcu hkrzhhl hkrzhhu "
                             "hcshengl hcshengu hcshil hcshiu hchmcl hchmcu skrqcl skrqcu "
                             "skrzhhl skrzhhu hrshengl hrshengu hrshil hrshiu hrhmcl hrhmcu "
                             "jedxl jedxu jexxl jexxu zhmml zhmmu ytl ytu zhtl zhtu mmjg jexxjg")
                  .split(QLatin1Char(' ')));
}

TEST_F(StoreTest, WritesByPositionReadBackByName)
{
    Connection c;
    DataSource ds(c);
    ds.setStatement(statements::customers());
    ds.refresh();
    ds.addNew();
    // Account numbers are text: leading zeros and more digits than any integer type stay.
    const QStringList values{QStringLiteral("名称"), QStringLiteral("00123456789012345678901"),
                             QStringLiteral("银行"),
                             QStringLiteral("省"), QStringLiteral("市"), QStringLiteral("MC")};
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(ds.setValue(i, values.at(i)));
    ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();

    DataSource check(c);
    check.setStatement(statements::customersNamed(QStringLiteral("名称")));
    check.refresh();
    ASSERT_EQ(check.recordCount(), 1);
    EXPECT_EQ(check.text(QStringLiteral("zhh")), values.at(1));
    EXPECT_EQ(check.text(QStringLiteral("khh")), values.at(2));
    EXPECT_EQ(check.text(QStringLiteral("sheng")), values.at(3));
    EXPECT_EQ(check.text(QStringLiteral("shi")), values.at(4));
    EXPECT_EQ(check.text(QStringLiteral("gsmczmjc")), values.at(5));

    // A voucher writes the history by positions 1 to 12.
    DataSource history(c);
    history.setStatement(statements::history());
    history.refresh();
    history.addNew();
    const QStringList row{QStringLiteral("2024-05-06"), QStringLiteral("2024/5/7"),
                          QStringLiteral("支票"),       QStringLiteral("No1"),
                          QStringLiteral("100.5"),      QStringLiteral("货款"),
                          QStringLiteral("付款人"),     QStringLiteral("付款账号"),
                          QStringLiteral("付款行"),     QStringLiteral("收款人"),
                          QStringLiteral("收款账号"),   QStringLiteral("收款行")};
    for (int i = 0; i < row.size(); ++i)
        ASSERT_TRUE(history.setValue(i + 1, row.at(i))) << i;
    ASSERT_TRUE(history.update()) << history.errorText().toStdString();
    history.refresh();
    ASSERT_EQ(history.recordCount(), 1);
    EXPECT_EQ(history.text(QStringLiteral("dyrq")), QStringLiteral("2024-05-06"));
    EXPECT_EQ(history.text(QStringLiteral("fkrq")), QStringLiteral("2024-05-07"));
    EXPECT_EQ(history.text(QStringLiteral("pzlx")), QStringLiteral("支票"));
    EXPECT_EQ(history.text(QStringLiteral("fkje")), QStringLiteral("100.5"));
    EXPECT_EQ(history.text(QStringLiteral("fkrkhh")), QStringLiteral("付款行"));
    EXPECT_EQ(history.text(QStringLiteral("skrmc")), QStringLiteral("收款人"));
    EXPECT_EQ(history.text(QStringLiteral("skrkhh")), QStringLiteral("收款行"));
    EXPECT_EQ(history.text(QStringLiteral("sheng")), QString());
    EXPECT_FALSE(history.text(QStringLiteral("xh")).isEmpty());
}

TEST_F(StoreTest, AnExistingFileIsNeverRecreatedOrAltered)
{
    {
        Connection c;
        DataSource ds(c);
        ds.setStatement(statements::purposes());
        ds.refresh();
        ds.addNew();
        ds.setValue(0, QStringLiteral("租金"));
        ASSERT_TRUE(ds.update());
    }
    const QByteArray before = fileBytes(databasePath());
    const DatabaseStatus again = ensureDatabase();
    EXPECT_TRUE(again.ok);
    EXPECT_FALSE(again.created);
    EXPECT_EQ(fileBytes(databasePath()), before);
    EXPECT_NE(createDatabase(databasePath()), QString());
    EXPECT_EQ(fileBytes(databasePath()), before);
}

struct ForeignFile {
    const char *name;
    std::function<void(const QString &)> make;
    const char *expected; // part of the message
};

TEST(CheckDatabase, FilesThatAreNotOursGiveAClearMessageAndStayUntouched)
{
    const std::vector<ForeignFile> cases{
        {"text file", [](const QString &p) { writeBytes(p, "这不是数据库\nnot a database\n"); },
         "不是本程序的数据库"},
        {"empty file", [](const QString &p) { writeBytes(p, QByteArray()); }, "不是本程序的数据库"},
        {"other SQLite file",
         [](const QString &p) { runSql(p, {QStringLiteral("CREATE TABLE t (a)")}); },
         "不是本程序的数据库"},
        {"missing table",
         [](const QString &p) {
             ASSERT_EQ(createDatabase(p), QString());
             runSql(p, {QStringLiteral("DROP TABLE ytb")});
         },
         "缺少表 ytb"},
        {"columns out of order",
         [](const QString &p) {
             ASSERT_EQ(createDatabase(p), QString());
             runSql(p, {QStringLiteral("DROP TABLE bssz"),
                        QStringLiteral("CREATE TABLE bssz (gsmc, zhh, khh, hp, hc)")});
         },
         "表 bssz 的列与本程序不符"},
        {"newer version",
         [](const QString &p) {
             ASSERT_EQ(createDatabase(p), QString());
             runSql(p, {QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion + 1)});
         },
         "更新版本"},
        {"our id without a version",
         [](const QString &p) {
             ASSERT_EQ(createDatabase(p), QString());
             runSql(p, {QStringLiteral("PRAGMA user_version = 0")});
         },
         "不是本程序的数据库"},
        {"version 1 with a column of version 2",
         [](const QString &p) {
             ASSERT_EQ(createDatabase(p, 2), QString());
             runSql(p, {QStringLiteral("PRAGMA user_version = 1")});
         },
         "表 khb 的列与本程序不符"},
        {"version 2 with a column of version 3",
         [](const QString &p) {
             ASSERT_EQ(createDatabase(p), QString());
             runSql(p, {QStringLiteral("PRAGMA user_version = 2")});
         },
         "表 khb 的列与本程序不符"},
    };
    for (const ForeignFile &c : cases) {
        SCOPED_TRACE(c.name);
        TempAppDir dir;
        c.make(databasePath());
        const QByteArray before = fileBytes(databasePath());
        const DatabaseStatus status = ensureDatabase();
        EXPECT_FALSE(status.ok);
        EXPECT_FALSE(status.created);
        EXPECT_TRUE(status.errorText.contains(QString::fromUtf8(c.expected)))
            << status.errorText.toStdString();
        EXPECT_TRUE(status.errorText.contains(databasePath())) << status.errorText.toStdString();
        EXPECT_EQ(fileBytes(databasePath()), before);
        EXPECT_NE(checkDatabaseFile(databasePath()), QString());
    }
}

// Another SQLite program left the file in WAL mode with its newest rows still in the log beside
// it: at start the rows are taken into the file, which is back in the program's journal mode,
// with nothing left beside it.
TEST(CheckDatabase, AWalModeFileComesBackToTheRollbackJournalWithEveryRow)
{
    QTemporaryDir copied;
    {
        TempAppDir first;
        ASSERT_TRUE(ensureDatabase().ok);
        const QString name = QStringLiteral("test-wal");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(databasePath());
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode=WAL")));
            ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")));
            for (int i = 0; i < 20; ++i)
                ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO khb (gsmc) VALUES ('客户%1')").arg(i)));
            // The files as that program leaves them when it is killed: rows in the log.
            ASSERT_GT(QFileInfo(databasePath() + QStringLiteral("-wal")).size(), 0);
            ASSERT_TRUE(QFile::copy(databasePath(), copied.filePath(QStringLiteral("sjk.mdb"))));
            ASSERT_TRUE(QFile::copy(databasePath() + QStringLiteral("-wal"), copied.filePath(QStringLiteral("sjk.mdb-wal"))));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    setAppDir(copied.path());
    const DatabaseStatus status = ensureDatabase();
    ASSERT_TRUE(status.ok) << status.errorText.toStdString();
    {
        Connection c; // the program at work
        DataSource customers(c);
        customers.setStatement(statements::customers());
        ASSERT_TRUE(customers.refresh());
        EXPECT_EQ(customers.recordCount(), 21);
        EXPECT_EQ(QDir(copied.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("sjk.mdb")});
    }
    // Bytes 18 and 19 of the header: 1 for the rollback journal, 2 for WAL.
    const QByteArray header = fileBytes(databasePath()).left(20);
    EXPECT_EQ(int(header.at(18)), 1);
    EXPECT_EQ(int(header.at(19)), 1);
    setAppDir(QString());
}

TEST(CheckDatabase, AConnectionNeverCreatesAMissingFile)
{
    TempAppDir dir;
    Connection c;
    EXPECT_FALSE(c.isOpen());
    EXPECT_TRUE(c.errorText().contains(databasePath()));
    EXPECT_FALSE(QFile::exists(databasePath()));

    DataSource ds(c);
    ds.setStatement(statements::customers());
    EXPECT_FALSE(ds.refresh());
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.text(QStringLiteral("gsmc")), QString());
    EXPECT_FALSE(QFile::exists(databasePath()));
}

TEST_F(StoreTest, TransactionsCommitOrRollBackAsAWhole)
{
    Connection c;
    DataSource ds(c);
    ds.setStatement(statements::purposes());
    ds.refresh();
    {
        Transaction t(c);
        ASSERT_TRUE(t.isActive());
        for (const char *p : {"甲", "乙"}) {
            ds.addNew();
            ds.setValue(0, QString::fromUtf8(p));
            ASSERT_TRUE(ds.update());
        }
    } // not committed
    ds.refresh();
    EXPECT_EQ(ds.recordCount(), 5);
    {
        Transaction t(c);
        ds.addNew();
        ds.setValue(0, QStringLiteral("丙"));
        ASSERT_TRUE(ds.update());
        EXPECT_TRUE(t.commit());
    }
    ds.refresh();
    EXPECT_EQ(ds.recordCount(), 6);
}

TEST_F(StoreTest, RestoreClosesEveryConnectionReplacesTheFileAndReopens)
{
    Connection a;
    Connection b;
    DataSource customersA(a);
    customersA.setStatement(statements::customers());
    customersA.refresh();
    DataSource purposesB(b);
    purposesB.setStatement(statements::purposes());
    purposesB.refresh();
    ASSERT_EQ(customersA.recordCount(), 1);

    // A second database with other contents stands in for the backup.
    const QString backup = m_dir.file(QStringLiteral("backup.mdb"));
    ASSERT_EQ(createDatabase(backup), QString());
    runSql(backup, {QStringLiteral("INSERT INTO khb (gsmc) VALUES ('备份客户')"),
                    QStringLiteral("DELETE FROM ytb WHERE yt <> '货款'")});
    ASSERT_EQ(checkDatabaseFile(backup), QString());

    Connection::closeAll();
    EXPECT_FALSE(a.isOpen());
    EXPECT_FALSE(b.isOpen());
    // While closed, reads give empty texts and refreshes fail without harm.
    EXPECT_FALSE(purposesB.refresh());
    EXPECT_EQ(purposesB.text(0), QString());

    ASSERT_TRUE(QFile::remove(databasePath()));
    ASSERT_TRUE(QFile::rename(backup, databasePath()));
    ASSERT_TRUE(Connection::reopenAll());
    EXPECT_TRUE(a.isOpen());
    EXPECT_TRUE(b.isOpen());

    ASSERT_TRUE(customersA.refresh());
    EXPECT_EQ(customersA.recordCount(), 2);
    customersA.moveLast();
    EXPECT_EQ(customersA.text(QStringLiteral("gsmc")), QStringLiteral("备份客户"));
    ASSERT_TRUE(purposesB.refresh());
    EXPECT_EQ(purposesB.recordCount(), 1);
    EXPECT_EQ(purposesB.text(0), QStringLiteral("货款"));
}

TEST_F(StoreTest, ConnectionsLeaveTheRegistryWhenDestroyed)
{
    const int before = Connection::count();
    {
        Connection a;
        Connection b;
        EXPECT_EQ(Connection::count(), before + 2);
        EXPECT_NE(a.name(), b.name());
    }
    EXPECT_EQ(Connection::count(), before);
}

} // namespace
