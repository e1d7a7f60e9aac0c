#pragma once
// The database file: where it lives, creating it on first start, telling our files from others.

#include <QString>
#include <QStringList>
#include <QVector>

namespace store {

// store::appFile("sjk.mdb").
QString databasePath();
// The database that holds the calibration tables dytj and tydysz: the data folder's own, or
// calibrationFile("jz.mdb") while the calibration is the machine's (store/appdir.h). It has the
// whole schema; only those two tables are used in it.
QString calibrationDatabasePath();

// The version of the file (its user_version) that this program creates and works on. A file of an
// earlier version is brought up to it at start, once: version 2 added khb.gsmcdyjc, the initials
// from the characters' readings; version 3 the table dyb_jobs of prints being handed over; version 4
// khb.gsmcdyzm, the initials of every reading of each character; version 5 the table
// pzhmb of number books and two indexes of the history (the repeat look-up's, the numbers'); version 6
// the tables zdypz and zdypzzd of the clerk's own voucher forms.
constexpr int kSchemaVersion = 6;

struct DatabaseStatus {
    bool ok = false;
    bool created = false; // the file was missing and has been created from the schema
    QString errorText;    // for the user, when !ok
};

// Run once at start, before any Connection: creates sjk.mdb from the built-in schema when it is
// missing, otherwise checks that the file is one of ours. An existing file is never altered,
// except that a file another program left in WAL mode is put back in rollback-journal mode (its
// log taken in), so that the file alone always holds every committed row, and that a file of an
// earlier version is upgraded (upgradeDatabase).
DatabaseStatus ensureDatabase();
// The same for the database file at path (a new 账套's, the machine's calibration).
DatabaseStatus ensureDatabaseAt(const QString &path);

// Checks any file (a backup about to be restored, say) without changing it: empty when it is a
// database of this program, of this version or an earlier one, with every table and column of its
// version in place; otherwise a message saying what is wrong.
QString checkDatabaseFile(const QString &path);

// Brings a database of this program of an earlier version to kSchemaVersion, in one transaction:
// the columns added since and their values for the rows it holds; nothing else changes. A file of
// the current version is left as it is. Empty on success, otherwise the message (the file is then
// as it was).
QString upgradeDatabase(const QString &path);

// Creates a new database at path from the built-in schema; path must not exist. The file appears
// complete or not at all. Empty on success, otherwise the message. A version below the current
// one makes the file an earlier program made (for trying the upgrade on).
QString createDatabase(const QString &path, int version = kSchemaVersion);

// The tables of the schema with their columns in stored order.
struct TableColumns {
    QString table;
    QStringList columns;
};
QVector<TableColumns> schemaTables();

// Every table, index and trigger of the schema as SQLite holds its text, in the order they are
// made: the one description from which a server database is made too (store/server.h).
struct SchemaObject {
    QString type; // table, index, trigger
    QString name;
    QString table;
    QString sql;
};
QVector<SchemaObject> schemaObjects();
// The columns of a table of the schema with their declared types, in stored order.
struct SchemaColumn {
    QString name;
    QString type;     // as declared: text, date, integer, numeric ...
    bool integerKey;  // the table's integer primary key (SQLite's rowid)
};
QVector<SchemaColumn> schemaColumns(const QString &table);

} // namespace store
