#include "store/database.h"

#include "store/appdir.h"
#include "store/sqlitefile.h"
#include "text/readings.h"

#include <QFile>
#include <QHash>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <iterator>
#include <map>
#include <mutex>

// The schema is compiled into the program, so the program file alone can create its database.
static void initSchemaResource() { Q_INIT_RESOURCE(store_schema); }

namespace store {

namespace {

const char *const kSchemaResource = ":/schema.sql";

QString uniqueName(const char *purpose)
{
    static int counter = 0;
    return QStringLiteral("lanshi-%1-%2").arg(QLatin1String(purpose)).arg(++counter);
}

// Splits the schema text into statements at semicolons outside quotes, comments and trigger bodies.
QStringList splitStatements(const QString &sql)
{
    QStringList out;
    QString current;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < sql.size() && sql.at(i) != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        if (c == QLatin1Char(';')) {
            // A trigger's body holds statements of its own: it ends only at "END;".
            const QString sofar = current.trimmed().toUpper();
            if (sofar.startsWith(QLatin1String("CREATE TRIGGER")) && !sofar.endsWith(QLatin1String("END"))) {
                current += c;
                continue;
            }
            if (!current.trimmed().isEmpty())
                out << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

QString schemaText(QString *error)
{
    initSchemaResource();
    QFile f(QString::fromLatin1(kSchemaResource));
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("程序缺少数据库结构定义（%1）。").arg(f.fileName());
        return QString();
    }
    return QString::fromUtf8(f.readAll());
}

// Adds a column to khb and fills it, for every customer with a name, with what form makes of the
// name; a name of which form makes nothing keeps no value, as a save leaves it.
QString addNameColumn(QSqlDatabase &db, const char *column, QString (*form)(const QString &))
{
    QSqlQuery q(db);
    // Column names cannot be bound; they are ours.
    if (!q.exec(QStringLiteral("ALTER TABLE khb ADD COLUMN %1 text").arg(QLatin1String(column))))
        return q.lastError().text();
    QVector<QPair<qint64, QString>> names;
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rowid, gsmc FROM khb WHERE gsmc IS NOT NULL")))
        return q.lastError().text();
    while (q.next())
        names.append({q.value(0).toLongLong(), q.value(1).toString()});
    q.finish();
    if (!q.prepare(QStringLiteral("UPDATE khb SET %1 = ? WHERE rowid = ?").arg(QLatin1String(column))))
        return q.lastError().text();
    for (const auto &[rowid, name] : names) {
        const QString value = form(name);
        if (value.isEmpty())
            continue;
        q.bindValue(0, value);
        q.bindValue(1, rowid);
        if (!q.exec())
            return q.lastError().text();
    }
    return QString();
}

// Version 2: the initials from the characters' readings beside those of the interval rule.
QString addReadingInitials(QSqlDatabase &db) { return addNameColumn(db, "gsmcdyjc", text::readingInitials); }

// Version 3: the print jobs a print hands over, written before the hand-over and removed once its
// history rows are in, so that a print cut off in between is found at the next start.
QString addPrintJournal(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral(
            "CREATE TABLE dyb_jobs ("
            " id integer PRIMARY KEY AUTOINCREMENT,"
            " started text NOT NULL," // when the hand-over began, ISO date and time
            " target text NOT NULL,"  // 'printer' or 'pdf'
            " printer text,"          // the queue, for a printer
            " job integer,"           // the queue's job number
            " path text,"             // the PDF file, for a file
            " partial text,"          // the complete file beside it, until it is renamed into place
            " title text,"            // what was printed, for the clerk: 支票, 批量打印-支票
            " vouchers integer NOT NULL,"
            " rows text,"             // a printer's history rows (JSON), written once the job is taken
            " firstxh integer,"       // a file's history rows, written with the entry
            " lastxh integer)")))
        return q.lastError().text();
    return QString();
}

// Version 4: the initials of every reading of each character, which the initials search tests.
QString addReadingSets(QSqlDatabase &db) { return addNameColumn(db, "gsmcdyzm", text::readingSets); }

// Version 5: the repeat look-up's own index, the history's numbers, the number books, and the
// marks of voided rows (dyb_marks).
// The repeat look-up asks for one payee and one payer within 30 days; by payee and date alone, a
// deposit slip (whose payee is always the own company) read every deposit of the month for each
// look-up, and a list of ten thousand read a hundred million rows. A book (pzhmb) is a run of
// numbered forms of one voucher kind (its window's name) for one own account, first to last
// number as printed on the forms, leading zeros kept.
QString addNumberBooks(QSqlDatabase &db)
{
    QSqlQuery q(db);
    for (const char *sql : {"CREATE INDEX dyb_skrmc_fkrmc_fkrq ON dyb (skrmc, coalesce(fkrmc, ''), fkrq)",
                            "CREATE INDEX dyb_pzhm ON dyb (pzhm)",
                            "CREATE TABLE pzhmb ("
                            " id integer PRIMARY KEY AUTOINCREMENT,"
                            " kind text NOT NULL," // the voucher window: zpdy, jzddy, ...
                            " zhh text NOT NULL,"  // the own account the forms are for
                            " qshm text NOT NULL," // the first number
                            " zzhm text NOT NULL)",  // the last number, as long as the first
                            // What the history's own columns cannot say of a row: voided, and why.
                            "CREATE TABLE dyb_marks ("
                            " xh integer PRIMARY KEY," // the row of dyb
                            " zfsj text,"              // voided at (ISO date and time); NULL: not void
                            " zfyy text,"              // the reason given
                            " bdxh integer)"})         // a reprint: the row it prints again
        if (!q.exec(QString::fromLatin1(sql)))
            return q.lastError().text();
    return QString();
}

// Version 6: the voucher forms of the clerk's own (自定义凭证) and their fields. A form's scan is
// kept with it, so that the form travels whole in a backup.
QString addCustomForms(QSqlDatabase &db)
{
    QSqlQuery q(db);
    for (const char *sql : {"CREATE TABLE zdypz ("
                            " id integer PRIMARY KEY AUTOINCREMENT,"
                            " bs text NOT NULL UNIQUE,"   // the form's own mark (a UUID), kept by export and import
                            " mc text NOT NULL UNIQUE,"   // the form's name, its type in the history
                            " js text NOT NULL,"          // the customer's role: 收款人 or 付款人
                            " zk integer NOT NULL,"       // the paper's width, twips
                            " zg integer NOT NULL,"       // and height
                            " smt blob,"                  // the scan of the blank form (PNG)
                            " smdw text,"                 // its resolution and reference points (JSON)
                            " zdbh integer NOT NULL DEFAULT 0)", // the highest field number ever given
                            "CREATE TABLE zdypzzd ("
                            " id integer PRIMARY KEY AUTOINCREMENT,"
                            " pz integer NOT NULL,"       // the form (zdypz.id)
                            " xh integer NOT NULL,"       // the field's place in the print order
                            " bh integer NOT NULL,"       // its own number in the form (its calibration)
                            " lx text NOT NULL,"          // what it prints: partyName, amountCells ...
                            " x real NOT NULL,"           // twips from the paper's left edge
                            " y real NOT NULL,"           // and top edge
                            " zh real NOT NULL,"          // font size, points
                            " kd real NOT NULL,"          // the width it may take, twips; 0: any
                            " gs integer,"                // amount cells: how many
                            " gj real,"                   // and their pitch, twips
                            " wz text,"                   // fixed text, tick group or note caption
                            " xx text)",                  // the choice a tick marks
                            "CREATE INDEX zdypzzd_pz ON zdypzzd (pz, xh)"})
        if (!q.exec(QString::fromLatin1(sql)))
            return q.lastError().text();
    return QString();
}

// The steps that bring a file of version n - 1 to version n, at index n - 2. Version 1 is what
// schema.sql creates. A new file is the schema followed by every step, so that a new file and an
// upgraded one have the same tables, columns and schema text.
using Step = QString (*)(QSqlDatabase &);
const Step kSteps[] = {addReadingInitials, addPrintJournal, addReadingSets, addNumberBooks, addCustomForms};
static_assert(std::size(kSteps) == kSchemaVersion - 1, "one step for each version after the first");

// Runs the steps that take db from version `from` to version `to`, inside the caller's transaction.
QString upgrade(QSqlDatabase &db, int from, int to)
{
    for (int version = from + 1; version <= to; ++version) {
        if (QString error = kSteps[version - 2](db); !error.isEmpty())
            return error;
        QSqlQuery q(db);
        // PRAGMA arguments cannot be bound; the number is ours.
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version)))
            return q.lastError().text();
    }
    return QString();
}

// Runs the schema on an open, empty database and brings it to the version asked for, all in one
// transaction.
QString applySchema(QSqlDatabase &db, int version)
{
    QString error;
    const QString sql = schemaText(&error);
    if (!error.isEmpty())
        return error;
    if (!db.transaction())
        return db.lastError().text();
    {
        QSqlQuery q(db);
        for (const QString &statement : splitStatements(sql)) {
            if (!q.exec(statement)) {
                error = q.lastError().text();
                break;
            }
        }
    }
    if (error.isEmpty())
        error = upgrade(db, 1, version);
    if (!error.isEmpty()) {
        db.rollback();
        return error;
    }
    if (!db.commit())
        return db.lastError().text();
    return QString();
}

struct FileFacts {
    QString error; // the file could not be read as a SQLite database
    qint64 applicationId = 0;
    qint64 userVersion = 0;
    QVector<TableColumns> tables; // as found, for the tables asked about
    QVector<SchemaObject> objects; // tables, indexes and triggers, in the order they were made
    QHash<QString, QVector<SchemaColumn>> columns; // by table
};

QStringList columnsOf(QSqlDatabase &db, const QString &table, QString *error)
{
    QStringList columns;
    QSqlQuery q(db);
    // PRAGMA arguments cannot be bound; the names come from our own schema.
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
        *error = q.lastError().text();
        return columns;
    }
    while (q.next())
        columns << q.value(1).toString();
    return columns;
}

qint64 pragmaNumber(QSqlDatabase &db, const char *pragma, QString *error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(pragma))) || !q.next()) {
        *error = q.lastError().text();
        return 0;
    }
    return q.value(0).toLongLong();
}

QStringList tableNames(QSqlDatabase &db, QString *error)
{
    QStringList names;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' "
                               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"))) {
        *error = q.lastError().text();
        return names;
    }
    while (q.next())
        names << q.value(0).toString();
    return names;
}

// Reads what identifies a file, with the tables named (or every table when names is empty).
FileFacts readFacts(QSqlDatabase &db, QStringList names)
{
    FileFacts facts;
    facts.applicationId = pragmaNumber(db, "application_id", &facts.error);
    if (facts.error.isEmpty())
        facts.userVersion = pragmaNumber(db, "user_version", &facts.error);
    if (facts.error.isEmpty() && names.isEmpty())
        names = tableNames(db, &facts.error);
    for (const QString &table : names) {
        if (!facts.error.isEmpty())
            break;
        facts.tables.append({table, columnsOf(db, table, &facts.error)});
    }
    return facts;
}

// What the built-in schema creates at a version (1 up to the current one), read back from a
// database built in memory, so that the schema and its steps stay the one place where tables and
// columns are written down.
const FileFacts &reference(int version = kSchemaVersion)
{
    static std::mutex guard;
    static std::map<int, FileFacts> built;
    const std::lock_guard<std::mutex> lock(guard);
    if (auto it = built.find(version); it != built.end())
        return it->second;
    FileFacts f;
    const QString name = uniqueName("schema");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open())
            f.error = db.lastError().text();
        else if (const QString e = applySchema(db, version); !e.isEmpty())
            f.error = e;
        else
            f = readFacts(db, QStringList());
        if (f.error.isEmpty()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema WHERE sql IS NOT NULL "
                                      "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid")))
                while (q.next())
                    f.objects.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                      q.value(3).toString()});
            else
                f.error = q.lastError().text();
            for (const TableColumns &t : f.tables) {
                QSqlQuery info(db);
                if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t.table)))
                    continue;
                while (info.next())
                    f.columns[t.table].append({info.value(1).toString(), info.value(2).toString(),
                                               info.value(5).toInt() > 0
                                                   && info.value(2).toString().compare(QLatin1String("integer"),
                                                                                       Qt::CaseInsensitive) == 0});
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return built.emplace(version, std::move(f)).first->second;
}

struct Checked {
    QString error;   // for the user; empty when the file is one of ours
    int version = 0; // its user_version, when it is
};

Checked check(const QString &path, bool readOnly)
{
    const FileFacts &ref = reference();
    if (!ref.error.isEmpty())
        return {QStringLiteral("程序内置的数据库结构有误：%1").arg(ref.error)};
    const QFileInfo info(path);
    if (!info.exists())
        return {QStringLiteral("找不到数据库文件 %1。").arg(path)};
    if (!info.isFile())
        return {QStringLiteral("%1 不是文件，不能作为数据库使用。").arg(path)};

    QStringList names;
    for (const TableColumns &t : ref.tables)
        names << t.table;

    const QString name = uniqueName("check");
    Checked result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                           + (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            result.error = QStringLiteral("无法打开数据库文件 %1：%2").arg(path, db.lastError().text());
        } else {
            const FileFacts facts = readFacts(db, names);
            if (!facts.error.isEmpty()) {
                result.error = QStringLiteral("文件 %1 不是本程序的数据库（无法读取：%2）。")
                                   .arg(path, facts.error);
            } else if (facts.applicationId != ref.applicationId || facts.userVersion < 1) {
                result.error = QStringLiteral("文件 %1 不是本程序的数据库。").arg(path);
            } else if (facts.userVersion > ref.userVersion) {
                result.error = QStringLiteral("数据库文件 %1 由更新版本的程序创建，本程序不能使用它。")
                                   .arg(path);
            } else {
                // An older file is held to what its own version had.
                result.version = int(facts.userVersion);
                const FileFacts &own = reference(result.version);
                if (!own.error.isEmpty())
                    result.error = QStringLiteral("程序内置的数据库结构有误：%1").arg(own.error);
                for (int i = 0; i < own.tables.size() && result.error.isEmpty(); ++i) {
                    const TableColumns &want = own.tables.at(i);
                    const QStringList &have = facts.tables.at(i).columns;
                    if (have.isEmpty())
                        result.error = QStringLiteral("数据库文件 %1 缺少表 %2。").arg(path, want.table);
                    else if (have != want.columns)
                        result.error = QStringLiteral("数据库文件 %1 中表 %2 的列与本程序不符"
                                                      "（应为 %3）。")
                                           .arg(path, want.table, want.columns.join(QLatin1Char(',')));
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

// Brings a file of ours to the current version in one transaction: all of it or, when anything
// fails or the program is killed on the way, nothing. The write lock is taken first and the version
// read under it, so that of two programs started at once only one upgrades.
QString upgradeFile(const QString &path)
{
    const QString name = uniqueName("upgrade");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA synchronous=FULL")) || !q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
                error = q.lastError().text();
            } else {
                const qint64 version = pragmaNumber(db, "user_version", &error);
                if (error.isEmpty() && version < kSchemaVersion)
                    error = upgrade(db, int(version), kSchemaVersion);
                if (error.isEmpty() && !q.exec(QStringLiteral("COMMIT")))
                    error = q.lastError().text();
                if (!error.isEmpty())
                    q.exec(QStringLiteral("ROLLBACK"));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        return QStringLiteral("无法把数据库文件 %1 升级到本程序的版本（%2），文件保持原样。").arg(path, error);
    return QString();
}

} // namespace

QString databasePath() { return appFile(QStringLiteral("sjk.mdb")); }

QString calibrationDatabasePath()
{
    return calibrationShared() ? calibrationFile(QStringLiteral("jz.mdb")) : databasePath();
}

QVector<TableColumns> schemaTables() { return reference().tables; }

QVector<SchemaObject> schemaObjects() { return reference().objects; }

QVector<SchemaColumn> schemaColumns(const QString &table) { return reference().columns.value(table); }

QString createDatabase(const QString &path, int version)
{
    if (version < 1 || version > kSchemaVersion)
        return QStringLiteral("无法创建第 %1 版的数据库文件。").arg(version);
    if (QFileInfo::exists(path))
        return QStringLiteral("数据库文件 %1 已经存在。").arg(path);
    // Built under a temporary name and renamed, so a failure never leaves a partial file behind
    // that the next start would take for a foreign one.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));

    const QString name = uniqueName("create");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(temp);
        if (!db.open())
            error = db.lastError().text();
        else
            error = applySchema(db, version);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);

    if (error.isEmpty() && !QFile::rename(temp, path))
        error = QStringLiteral("不能改名为 %1").arg(path);
    if (!error.isEmpty()) {
        QFile::remove(temp);
        return QStringLiteral("无法创建数据库文件 %1：%2").arg(path, error);
    }
    return QString();
}

DatabaseStatus ensureDatabase() { return ensureDatabaseAt(databasePath()); }

DatabaseStatus ensureDatabaseAt(const QString &path)
{
    DatabaseStatus status;
    if (!QFileInfo::exists(path)) {
        status.errorText = createDatabase(path);
        if (!status.errorText.isEmpty())
            return status;
        status.created = true;
    }
    // Read-write, as the program will use it: a journal left by a crash is rolled back here.
    const Checked checked = check(path, false);
    status.errorText = checked.error;
    // A file that another program put in WAL mode keeps part of its rows in "-wal" beside it,
    // where a copy of the file alone misses them: they are taken into the file, which goes back
    // to the rollback journal the program keeps. A file in that mode already stays untouched.
    if (status.errorText.isEmpty() && readFileHeader(path).writeAheadLog)
        status.errorText = useRollbackJournal(path);
    // A file of an earlier version gains what this version adds, once.
    if (status.errorText.isEmpty() && checked.version < kSchemaVersion)
        status.errorText = upgradeDatabase(path);
    status.ok = status.errorText.isEmpty();
    return status;
}

QString checkDatabaseFile(const QString &path) { return check(path, true).error; }

QString upgradeDatabase(const QString &path)
{
    const Checked checked = check(path, false);
    if (!checked.error.isEmpty())
        return checked.error;
    if (checked.version == kSchemaVersion)
        return QString();
    if (QString error = upgradeFile(path); !error.isEmpty())
        return error;
    // What the steps made is held to the current schema like any other file.
    return check(path, false).error;
}

} // namespace store
