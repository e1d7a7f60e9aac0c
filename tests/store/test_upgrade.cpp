// A database of version 1, as the program made it before the initials from readings, brought to
// version 2 at start.

#include "storetest.h"

#include "rawdatabase.h"

#include "store/appdir.h"
#include "store/database.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace store;

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Names with the initials version 1 stored for them (the interval rule) and those read from the
// characters, both typed by hand.
struct Customer {
    const char *name;
    const char *stored;
    const char *readings;
};
const Customer kCustomers[] = {
    {"鑫达建材有限公司", "ZDJCYXGS", "XDJCYXGS"},
    {"晟泰科技", "ZTKJ", "STKJ"},
    {"昊天贸易", "ZTMY", "HTMY"},
    {"上海华东建材有限公司", "SHHDJCYXGS", "SHHDJCYXGS"},
    {"北京蓝石软件", "BJLSRJ", "BJLSRJ"},
    {"3M中国（北京）", "3MZG0BJ0", "3MZGBJ"},
    {"重庆钢铁集团", "ZQGTJT", "CQGTJT"},
    {"鑫鑫五金店", "ZZWJD", "XXWJD"},
    {"O'Brien Trading", "O'BRIEN TRADING", "OBRIENTRADING"},
    {"昊天贸易商行", "ZTMYSX", "HTMYSH"},
};
constexpr int kCount = 1000;

QString quoted(const QString &s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

// A version-1 file with 1,000 customers (numbered names), a customer without a name and one whose
// name has nothing to read, print history, purposes and settings of its own.
void makeVersionOne(const QString &path)
{
    ASSERT_EQ(createDatabase(path, 1), QString());
    RawDatabase raw(path);
    ASSERT_TRUE(raw.run(QStringLiteral("BEGIN")));
    for (int i = 0; i < kCount; ++i) {
        const Customer &c = kCustomers[i % std::size(kCustomers)];
        const QString n = QString::number(i);
        ASSERT_TRUE(raw.run(QStringLiteral("INSERT INTO khb VALUES (%1, %2, '工行', '北京', '海淀', %3)")
                                .arg(quoted(QString::fromUtf8(c.name) + n), quoted(QStringLiteral("6222") + n),
                                     quoted(QString::fromUtf8(c.stored) + n))));
    }
    ASSERT_TRUE(raw.run(QStringLiteral("INSERT INTO khb (zhh) VALUES ('无名')")));
    ASSERT_TRUE(raw.run(QStringLiteral("INSERT INTO khb (gsmc, gsmczmjc) VALUES ('（）', '00')")));
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(raw.run(QStringLiteral("INSERT INTO dyb (dyrq, fkrq, pzlx, fkje, skrmc) "
                                           "VALUES ('2024-05-06', '2024-05-%1', '支票', '%2.50', '收款人%3')")
                                .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                                .arg(i * 100)
                                .arg(i % 7)));
    ASSERT_TRUE(raw.run(QStringLiteral("DELETE FROM dyb WHERE xh = 3")));
    ASSERT_TRUE(raw.run(QStringLiteral("INSERT INTO ytb VALUES ('租金')")));
    ASSERT_TRUE(raw.run(QStringLiteral("UPDATE dytj SET djpzup = -57, djpzleft = 114")));
    ASSERT_TRUE(raw.run(QStringLiteral("UPDATE tydysz SET rqnl = 28.5")));
    ASSERT_TRUE(raw.run(QStringLiteral("COMMIT")));
}

// Everything a file holds except the initials from readings, as the sqlite3 program reads it.
QString allButReadings(const QString &file)
{
    QString out = sqlite3(file, QStringLiteral("SELECT rowid, gsmc, zhh, khh, sheng, shi, gsmczmjc FROM khb ORDER BY rowid"));
    for (const char *table : {"bssz", "ytb", "dyb", "dyb_skrmc", "dytj", "tydysz", "sqlite_sequence"})
        out += QLatin1Char('\n') + sqlite3(file, QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
    // Later versions add tables of their own (dyb_jobs, version 3), which start empty.
    out += QLatin1Char('\n') + sqlite3(file, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema "
                                                            "WHERE name NOT IN ('khb', 'dyb_jobs') ORDER BY name"));
    out += QLatin1Char('\n') + sqlite3(file, QStringLiteral("PRAGMA application_id"));
    return out;
}

QString schemaOf(const QString &file)
{
    return sqlite3(file, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY name; "
                                        "PRAGMA user_version; PRAGMA application_id"));
}

QString khbColumns(const QString &file)
{
    return sqlite3(file, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('khb')"));
}

TEST(Upgrade, AVersionOneFileGainsTheReadingsOfEveryCustomerAndNothingElse)
{
    TempAppDir dir;
    makeVersionOne(databasePath());
    ASSERT_EQ(sqlite3(databasePath(), QStringLiteral("PRAGMA user_version")), QStringLiteral("1"));
    ASSERT_EQ(khbColumns(databasePath()), QStringLiteral("gsmc zhh khh sheng shi gsmczmjc"));
    ASSERT_EQ(checkDatabaseFile(databasePath()), QString()); // an older file is still one of ours
    const QString before = allButReadings(databasePath());

    const DatabaseStatus status = ensureDatabase();
    ASSERT_TRUE(status.ok) << status.errorText.toStdString();
    EXPECT_FALSE(status.created);

    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("PRAGMA user_version")), QString::number(kSchemaVersion));
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT count(*) FROM dyb_jobs")), QStringLiteral("0"));
    EXPECT_EQ(khbColumns(databasePath()), QStringLiteral("gsmc zhh khh sheng shi gsmczmjc gsmcdyjc"));
    EXPECT_EQ(allButReadings(databasePath()), before);

    QStringList expected{QStringLiteral("上海华东建材有限公司|SHHDJCYXGS")}; // the delivered customer
    for (int i = 0; i < kCount; ++i) {
        const Customer &c = kCustomers[i % std::size(kCustomers)];
        expected << QString::fromUtf8(c.name) + QString::number(i) + QLatin1Char('|') + QString::fromUtf8(c.readings)
                        + QString::number(i);
    }
    expected << QStringLiteral("|(null)") << QStringLiteral("（）|(null)"); // nothing to read: no value
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT ifnull(gsmc, '') || '|' || ifnull(gsmcdyjc, '(null)') "
                                                     "FROM khb ORDER BY rowid")),
              expected.join(QLatin1Char('\n')));

    // Once: the next start finds nothing to do and leaves the file as it is.
    const QByteArray upgraded = fileBytes(databasePath());
    ASSERT_TRUE(ensureDatabase().ok);
    EXPECT_EQ(fileBytes(databasePath()), upgraded);

    // The same schema, to the text, as a file created new by this version.
    QTemporaryDir other;
    const QString fresh = other.filePath(QStringLiteral("sjk.mdb"));
    ASSERT_EQ(createDatabase(fresh), QString());
    EXPECT_EQ(schemaOf(databasePath()), schemaOf(fresh));
}

TEST(Upgrade, AFailureOnTheWayLeavesTheFileAsItWas)
{
    TempAppDir dir;
    makeVersionOne(databasePath());
    // Another program's trigger refuses the change of one row, the 700th customer.
    {
        RawDatabase raw(databasePath());
        ASSERT_TRUE(raw.run(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON khb WHEN old.rowid = 700 "
                                           "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    }
    const QByteArray before = fileBytes(databasePath());

    const DatabaseStatus status = ensureDatabase();
    EXPECT_FALSE(status.ok);
    EXPECT_TRUE(status.errorText.contains(databasePath())) << status.errorText.toStdString();
    EXPECT_TRUE(status.errorText.contains(QStringLiteral("refused"))) << status.errorText.toStdString();
    EXPECT_EQ(fileBytes(databasePath()), before);
    EXPECT_FALSE(QFile::exists(databasePath() + QStringLiteral("-journal")));

    // Without the trigger the next start upgrades it.
    {
        RawDatabase raw(databasePath());
        ASSERT_TRUE(raw.run(QStringLiteral("DROP TRIGGER refuse")));
    }
    ASSERT_TRUE(ensureDatabase().ok);
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT count(*) FROM khb WHERE gsmcdyjc IS NOT NULL")),
              QString::number(kCount + 1));
}

} // namespace
