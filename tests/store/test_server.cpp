// A 账套's data on a private PostgreSQL server: the schema made from the file's own description
// (same tables, same column order, the checks and the trigger working), a file 账套 uploaded whole
// or not at all and read back by psql as sqlite3 reads the file, and the server's backup an
// ordinary sjk.mdb with the same rows.

#include "storetest.h"

#include "pgserver.h"
#include "store/appdir.h"
#include "store/database.h"
#include "store/server.h"
#include "text/amount.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

using namespace store;

namespace {

PgServer &server()
{
    static PgServer s;
    return s;
}

QString sqlite3(const QString &file, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A server database of its own for each test, open under a name of its own.
class ServerTest : public StoreTest {
protected:
    QString name;
    ServerAddress address;
    QSqlDatabase db;

    void SetUp() override
    {
        StoreTest::SetUp();
        if (!server().isRunning())
            GTEST_SKIP() << "no PostgreSQL server: " << server().error().toStdString();
        name = QStringLiteral("t%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
        address = server().createDatabase(name);
        QString error;
        db = openServer(address, name, &error);
        ASSERT_TRUE(db.isOpen()) << error.toStdString();
    }
    void TearDown() override
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        StoreTest::TearDown();
    }
    QString psql(const QString &sql) const { return server().psql(name, sql); }

    // The delivered file with rows of every kind: names in Chinese and with quotes, NULLs, history
    // rows with keys left out, a form of one's own with its scan.
    void seedFile()
    {
        ASSERT_EQ(sqlite3(databasePath(),
                          QStringLiteral(
                              "INSERT INTO khb VALUES ('O''Brien 贸易', '62220001', '工行', NULL, '海淀', 'OBMY', 'OBMY', 'OBMY');"
                              "INSERT INTO ytb VALUES ('货款'), ('运费；杂费');"
                              "INSERT INTO dyb (xh, dyrq, fkrq, pzlx, pzhm, fkje, skrmc) VALUES "
                              " (7, '2010-04-14', '2010-04-14', '支票', '00012', '1234.56', '上海华东建材有限公司'),"
                              " (12, '2010-04-15', NULL, '进账单', NULL, '0.5', NULL);"
                              "INSERT INTO pzhmb (kind, zhh, qshm, zzhm) VALUES ('zpdy', '62220001', '0001', '0100');"
                              "UPDATE tydysz SET rqnl = 28.5;"
                              "INSERT INTO zdypz (bs, mc, js, zk, zg, smt, smdw, zdbh) VALUES ('0123456789abcdef0123456789abcdef', "
                              " '委托书', '收款人', 11906, 5613, x'89504e470d0a00ff', '{}', 1);"
                              "INSERT INTO zdypzzd (pz, xh, bh, lx, x, y, zh, kd) VALUES (1, 1, 1, 'partyName', 1700.5, 1133.86, 10, 0);")),
                  QString());
    }
};

} // namespace

TEST_F(ServerTest, TheSchemaIsTheFilesWithItsChecksAndTrigger)
{
    ASSERT_EQ(createServerSchema(db), QString());
    EXPECT_EQ(serverSchemaVersion(db), kSchemaVersion);
    // Every table of the file, its columns in the same order, read by psql, and after them the key
    // SQLite answers to as rowid (its own, or the table's integer key); a table without rowid has none.
    const QStringList keyless = {"dyb_skrmc"};
    for (const TableColumns &t : schemaTables())
        EXPECT_EQ(psql(QStringLiteral("SELECT string_agg(column_name, ' ' ORDER BY ordinal_position) FROM "
                                      "information_schema.columns WHERE table_name = '%1'")
                           .arg(t.table)),
                  t.columns.join(QLatin1Char(' ')) + (keyless.contains(t.table) ? QString() : QStringLiteral(" rowid")))
            << t.table.toStdString();
    // The history's dates are checked as in the file, and the payee names kept by the trigger.
    EXPECT_TRUE(psql(QStringLiteral("INSERT INTO dyb (dyrq) VALUES ('14.4.2010')")).contains(QStringLiteral("check")));
    EXPECT_EQ(psql(QStringLiteral("INSERT INTO dyb (dyrq, skrmc) VALUES ('2010-04-14', '甲'), ('2010-04-15', '甲');"
                                  "SELECT string_agg(skrmc, ',') FROM dyb_skrmc; SELECT count(*) FROM dyb")),
              QStringLiteral("甲\n2"));
    // A database that holds tables is not made again.
    EXPECT_FALSE(createServerSchema(db).isEmpty());
}

// The history's sums on the server read amounts as the program does.
TEST_F(ServerTest, AmountsReadInFenAsTheProgramReadsThem)
{
    ASSERT_EQ(createServerSchema(db), QString());
    const struct {
        const char *text;
        const char *fen; // "NULL": no amount
    } cases[] = {
        {"19.99", "1999"}, {" -5 ", "-500"}, {"1.230", "123"},  {"", "NULL"},       {"12abc", "NULL"},
        {"1,000", "NULL"}, {"1.234", "NULL"}, {"１２３４．５６", "123456"}, {"-0", "0"}, {"+7", "700"},
        {".5", "50"},      {"5.", "500"},     {"000012.10", "1210"}, {"　5　", "500"}, {".", "NULL"},
        {"1234567890123456.78", "123456789012345678"}, {"12345678901234567.8", "NULL"},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const std::optional<qint64> program = text::parseFen(text);
        EXPECT_EQ(program ? QString::number(*program) : QStringLiteral("NULL"), QString::fromLatin1(c.fen)) << c.text;
        QSqlQuery q(db);
        ASSERT_TRUE(q.prepare(QStringLiteral("SELECT coalesce(amount_fen(?)::text, 'NULL')")));
        q.addBindValue(text);
        ASSERT_TRUE(q.exec() && q.next()) << q.lastError().text().toStdString();
        EXPECT_EQ(q.value(0).toString(), QString::fromLatin1(c.fen)) << c.text;
    }
}

TEST_F(ServerTest, AFileUploadsWholeAndReadsBackAsTheFileDoes)
{
    seedFile();
    ASSERT_EQ(uploadToServer(databasePath(), db), QString());
    // Read by psql and by sqlite3, each its own way.
    EXPECT_EQ(psql(QStringLiteral("SELECT concat_ws('|', xh, dyrq, coalesce(fkrq, '-'), pzlx, coalesce(pzhm, '-'), fkje) "
                                  "FROM dyb ORDER BY xh")),
              sqlite3(databasePath(), QStringLiteral("SELECT xh || '|' || dyrq || '|' || ifnull(fkrq, '-') || '|' || pzlx || '|' "
                                                     "|| ifnull(pzhm, '-') || '|' || fkje FROM dyb ORDER BY xh")));
    EXPECT_EQ(psql(QStringLiteral("SELECT concat_ws('|', gsmc, coalesce(sheng, '-'), gsmcdyzm) FROM khb ORDER BY gsmc")),
              sqlite3(databasePath(), QStringLiteral("SELECT gsmc || '|' || ifnull(sheng, '-') || '|' || gsmcdyzm FROM khb "
                                                     "ORDER BY gsmc COLLATE BINARY")));
    EXPECT_EQ(psql(QStringLiteral("SELECT encode(smt, 'hex') FROM zdypz")), QStringLiteral("89504e470d0a00ff"));
    // The customers in the order the file holds them (the order the windows show them in).
    EXPECT_EQ(psql(QStringLiteral("SELECT string_agg(rowid || ':' || gsmc, ',' ORDER BY rowid) FROM khb")),
              sqlite3(databasePath(), QStringLiteral("SELECT group_concat(rowid || ':' || gsmc, ',') FROM "
                                                     "(SELECT rowid, gsmc FROM khb ORDER BY rowid)")));
    EXPECT_EQ(psql(QStringLiteral("SELECT rqnl FROM tydysz")), QStringLiteral("28.5"));
    EXPECT_EQ(psql(QStringLiteral("SELECT yt FROM ytb ORDER BY yt COLLATE \"C\"")),
              sqlite3(databasePath(), QStringLiteral("SELECT yt FROM ytb ORDER BY yt")));
    EXPECT_EQ(psql(QStringLiteral("SELECT string_agg(rowid::text, ',' ORDER BY xh) FROM dyb")), QStringLiteral("7,12"));
    // New rows continue after the file's keys.
    EXPECT_EQ(psql(QStringLiteral("INSERT INTO dyb (dyrq) VALUES ('2010-05-01') RETURNING xh")), QStringLiteral("13"));
    EXPECT_EQ(psql(QStringLiteral("INSERT INTO pzhmb (kind, zhh, qshm, zzhm) VALUES ('zpdy', '1', '1', '2') RETURNING id")),
              QStringLiteral("2"));
    // Into a database that holds a 账套 already: refused.
    EXPECT_TRUE(uploadToServer(databasePath(), db).contains(QStringLiteral("不是空的")));
}

TEST_F(ServerTest, AnUploadTheServerCannotTakeLeavesNothingBehind)
{
    seedFile();
    // A text with a NUL character: SQLite keeps it, PostgreSQL refuses it, late in the copy.
    ASSERT_EQ(sqlite3(databasePath(), QStringLiteral("INSERT INTO zdypzzd (pz, xh, bh, lx, x, y, zh, kd, wz) "
                                                     "VALUES (1, 2, 2, 'fixedText', 1, 1, 10, 0, 'a' || char(0) || 'b')")),
              QString());
    const QString error = uploadToServer(databasePath(), db);
    EXPECT_TRUE(error.startsWith(QStringLiteral("没有上传"))) << error.toStdString();
    EXPECT_EQ(psql(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema = 'public'")),
              QStringLiteral("0"));
}

TEST_F(ServerTest, TheServersBackupIsAnOrdinaryFileWithTheSameRows)
{
    seedFile();
    ASSERT_EQ(uploadToServer(databasePath(), db), QString());
    QTemporaryDir out;
    const QString backup = out.filePath(QStringLiteral("sjk.mdb"));
    ASSERT_EQ(backupServer(db, backup), QString());
    EXPECT_EQ(checkDatabaseFile(backup), QString());
    EXPECT_EQ(sqlite3(backup, QStringLiteral("PRAGMA user_version")), QString::number(kSchemaVersion));
    for (const TableColumns &t : schemaTables()) {
        const QString all = QStringLiteral("SELECT quote(%1) FROM %2 ORDER BY 1")
                                .arg(t.columns.join(QStringLiteral(") || ',' || quote(")), t.table);
        EXPECT_EQ(sqlite3(backup, all), sqlite3(databasePath(), all)) << t.table.toStdString();
    }
    EXPECT_EQ(sqlite3(backup, QStringLiteral("SELECT group_concat(rowid || ':' || gsmc, ',') FROM khb")),
              sqlite3(databasePath(), QStringLiteral("SELECT group_concat(rowid || ':' || gsmc, ',') FROM khb")));
    // A key the backup's file hands out next is the server's next one too.
    EXPECT_EQ(sqlite3(backup, QStringLiteral("INSERT INTO dyb (dyrq) VALUES ('2010-05-01'); SELECT max(xh) FROM dyb")),
              QStringLiteral("13"));
    // Never over an existing file.
    EXPECT_FALSE(backupServer(db, backup).isEmpty());
}
