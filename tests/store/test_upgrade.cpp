// Databases of earlier versions brought to the current one at start: version 1, as the program
// made it before the initials from readings, and version 2, before the readings forms.

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

// Names with, typed by hand: the initials version 1 stored for them (the interval rule), those
// version 2 stored (one reading of each character, as that version chose it: 晟 shèng, 重庆
// chóngqìng, 行 háng), the common readings' initials an upgrade from version 1 gives them now, and
// their readings forms.
struct Customer {
    const char *name;
    const char *stored;
    const char *versionTwo;
    const char *common;
    const char *sets;
};
const Customer kCustomers[] = {
    {"鑫达建材有限公司", "ZDJCYXGS", "XDJCYXGS", "XDJCYXGS", "XDJCYXGS"},
    {"晟泰科技", "ZTKJ", "STKJ", "CTKJ", "CsTKJ"},
    {"昊天贸易", "ZTMY", "HTMY", "HTMY", "HTMY"},
    {"上海华东建材有限公司", "SHHDJCYXGS", "SHHDJCYXGS", "SHHDJCYXGS", "SHHDJCYXGS"},
    {"北京蓝石软件", "BJLSRJ", "BJLSRJ", "BJLSRJ", "BJLSdRJ"},
    {"3M中国（北京）", "3MZG0BJ0", "3MZGBJ", "3MZGBJ", "3MZGBJ"},
    {"重庆钢铁集团", "ZQGTJT", "CQGTJT", "ZQGTJT", "ZcQGTJT"},
    {"鑫鑫五金店", "ZZWJD", "XXWJD", "XXWJD", "XXWJD"},
    {"O'Brien Trading", "O'BRIEN TRADING", "OBRIENTRADING", "OBRIENTRADING", "OBRIENTRADING"},
    {"昊天贸易商行", "ZTMYSX", "HTMYSH", "HTMYSX", "HTMYSXh"},
};
constexpr int kCount = 1000;

QString quoted(const QString &s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

// A file of version 1 or 2 with 1,000 customers (numbered names) and their initials as that
// version stored them, a customer without a name and one whose name has nothing to read, print
// history, purposes and settings of its own.
void makeFile(const QString &path, int version)
{
    ASSERT_EQ(createDatabase(path, version), QString());
    RawDatabase raw(path);
    ASSERT_TRUE(raw.run(QStringLiteral("BEGIN")));
    for (int i = 0; i < kCount; ++i) {
        const Customer &c = kCustomers[i % std::size(kCustomers)];
        const QString n = QString::number(i);
        const QString values = QStringLiteral("%1, %2, '工行', '北京', '海淀', %3")
                                   .arg(quoted(QString::fromUtf8(c.name) + n), quoted(QStringLiteral("6222") + n),
                                        quoted(QString::fromUtf8(c.stored) + n));
        ASSERT_TRUE(raw.run(version == 1 ? QStringLiteral("INSERT INTO khb VALUES (%1)").arg(values)
                                         : QStringLiteral("INSERT INTO khb VALUES (%1, %2)")
                                               .arg(values, quoted(QString::fromUtf8(c.versionTwo) + n))));
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
    // Later versions add tables of their own (dyb_jobs, version 3; pzhmb, version 5; zdypz and
    // zdypzzd, version 6), which start empty, and indexes (versions 5 and 6).
    out += QLatin1Char('\n') + sqlite3(file, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema "
                                                            "WHERE name NOT IN ('khb', 'dyb_jobs', 'dyb_skrmc_fkrmc_fkrq', "
                                                            "'dyb_pzhm', 'pzhmb', 'dyb_marks', 'zdypz', 'zdypzzd', "
                                                            "'zdypzzd_pz', 'sqlite_autoindex_zdypz_1', 'sqlite_autoindex_zdypz_2') "
                                                            "ORDER BY name"));
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
    makeFile(databasePath(), 1);
    ASSERT_EQ(sqlite3(databasePath(), QStringLiteral("PRAGMA user_version")), QStringLiteral("1"));
    ASSERT_EQ(khbColumns(databasePath()), QStringLiteral("gsmc zhh khh sheng shi gsmczmjc"));
    ASSERT_EQ(checkDatabaseFile(databasePath()), QString()); // an older file is still one of ours
    const QString before = allButReadings(databasePath());

    const DatabaseStatus status = ensureDatabase();
    ASSERT_TRUE(status.ok) << status.errorText.toStdString();
    EXPECT_FALSE(status.created);

    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("PRAGMA user_version")), QString::number(kSchemaVersion));
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT count(*) FROM dyb_jobs")), QStringLiteral("0"));
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT sql FROM sqlite_schema WHERE name = 'dyb_skrmc_fkrmc_fkrq'")),
              QStringLiteral("CREATE INDEX dyb_skrmc_fkrmc_fkrq ON dyb (skrmc, coalesce(fkrmc, ''), fkrq)"));
    EXPECT_EQ(khbColumns(databasePath()), QStringLiteral("gsmc zhh khh sheng shi gsmczmjc gsmcdyjc gsmcdyzm"));
    EXPECT_EQ(allButReadings(databasePath()), before);

    // The delivered customer, the numbered ones, and two with nothing to read: no value.
    QStringList expected{QStringLiteral("上海华东建材有限公司|SHHDJCYXGS|SHHDJCYXGS")};
    for (int i = 0; i < kCount; ++i) {
        const Customer &c = kCustomers[i % std::size(kCustomers)];
        const QString n = QString::number(i);
        expected << QString::fromUtf8(c.name) + n + QLatin1Char('|') + QString::fromUtf8(c.common) + n
                        + QLatin1Char('|') + QString::fromUtf8(c.sets) + n;
    }
    expected << QStringLiteral("|(null)|(null)") << QStringLiteral("（）|(null)|(null)");
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT ifnull(gsmc, '') || '|' || ifnull(gsmcdyjc, '(null)') "
                                                     "|| '|' || ifnull(gsmcdyzm, '(null)') FROM khb ORDER BY rowid")),
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

// A version-2 file gains the readings forms (and the empty table of print jobs) and nothing else:
// the sqlite3 program's dump of the file, with those taken out again, is the dump it gave before. The initials version 2
// stored stay as they were, though a save would now store others.
TEST(Upgrade, AVersionTwoFileGainsTheReadingsFormsAndNothingElse)
{
    TempAppDir dir;
    makeFile(databasePath(), 2);
    ASSERT_EQ(sqlite3(databasePath(), QStringLiteral("PRAGMA user_version")), QStringLiteral("2"));
    ASSERT_EQ(checkDatabaseFile(databasePath()), QString());
    const QString dump = QStringLiteral(".dump");
    const QString before = sqlite3(databasePath(), dump);
    ASSERT_TRUE(before.contains(QStringLiteral("'HTMYSH999'"))) << "the dump holds what version 2 stored";

    const DatabaseStatus status = ensureDatabase();
    ASSERT_TRUE(status.ok) << status.errorText.toStdString();
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("PRAGMA user_version")), QString::number(kSchemaVersion));
    EXPECT_EQ(khbColumns(databasePath()), QStringLiteral("gsmc zhh khh sheng shi gsmczmjc gsmcdyjc gsmcdyzm"));

    QStringList expected{QStringLiteral("上海华东建材有限公司|SHHDJCYXGS")};
    for (int i = 0; i < kCount; ++i) {
        const Customer &c = kCustomers[i % std::size(kCustomers)];
        expected << QString::fromUtf8(c.name) + QString::number(i) + QLatin1Char('|') + QString::fromUtf8(c.sets)
                        + QString::number(i);
    }
    expected << QStringLiteral("|(null)") << QStringLiteral("（）|(null)");
    EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT ifnull(gsmc, '') || '|' || ifnull(gsmcdyzm, '(null)') "
                                                     "FROM khb ORDER BY rowid")),
              expected.join(QLatin1Char('\n')));

    QTemporaryDir other;
    const QString copy = other.filePath(QStringLiteral("copy.mdb"));
    ASSERT_TRUE(QFile::copy(databasePath(), copy));
    ASSERT_EQ(sqlite3(copy, QStringLiteral("ALTER TABLE khb DROP COLUMN gsmcdyzm; DROP TABLE dyb_jobs; "
                                           "DROP INDEX dyb_skrmc_fkrmc_fkrq; DROP INDEX dyb_pzhm; DROP TABLE pzhmb; DROP TABLE dyb_marks; "
                                           "DROP TABLE zdypzzd; DROP TABLE zdypz; PRAGMA user_version = 2")),
              QString());
    EXPECT_EQ(sqlite3(copy, dump), before);

    // Once: the next start finds nothing to do and leaves the file as it is.
    const QByteArray upgraded = fileBytes(databasePath());
    ASSERT_TRUE(ensureDatabase().ok);
    EXPECT_EQ(fileBytes(databasePath()), upgraded);

    QTemporaryDir fresh;
    const QString created = fresh.filePath(QStringLiteral("sjk.mdb"));
    ASSERT_EQ(createDatabase(created), QString());
    EXPECT_EQ(schemaOf(databasePath()), schemaOf(created));
}

TEST(Upgrade, AFailureOnTheWayLeavesTheFileAsItWas)
{
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        TempAppDir dir;
        makeFile(databasePath(), version);
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
        EXPECT_EQ(sqlite3(databasePath(), QStringLiteral("SELECT count(*) FROM khb WHERE gsmcdyjc IS NOT NULL "
                                                         "AND gsmcdyzm IS NOT NULL")),
                  QString::number(kCount + 1));
    }
}

} // namespace
