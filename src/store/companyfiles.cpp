#include "store/companyfiles.h"

#include "store/companies.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <functional>

namespace store {

namespace {

QString uniqueConnectionName()
{
    static int counter = 0;
    return QStringLiteral("lanshi-companyfiles-%1").arg(++counter);
}

// Runs work on the database at path inside one transaction, with other attached as "src" when given.
QString inTransaction(const QString &path, const QString &other, const std::function<QString(QSqlQuery &)> &work)
{
    const QString name = uniqueConnectionName();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
            if (!other.isEmpty()) {
                q.prepare(QStringLiteral("ATTACH DATABASE ? AS src"));
                q.addBindValue(QUrl::fromLocalFile(other).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro"));
                if (!q.exec())
                    error = q.lastError().text();
            }
            if (error.isEmpty() && !q.exec(QStringLiteral("BEGIN IMMEDIATE")))
                error = q.lastError().text();
            if (error.isEmpty()) {
                error = work(q);
                if (error.isEmpty() && !q.exec(QStringLiteral("COMMIT")))
                    error = q.lastError().text();
                if (!error.isEmpty())
                    q.exec(QStringLiteral("ROLLBACK"));
            }
            q.finish();
            if (!other.isEmpty())
                q.exec(QStringLiteral("DETACH DATABASE src"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

// Replaces table's rows with src's.
QString copyTable(QSqlQuery &q, const QString &table)
{
    if (!q.exec(QStringLiteral("DELETE FROM main.%1").arg(table))
        || !q.exec(QStringLiteral("INSERT INTO main.%1 SELECT * FROM src.%1").arg(table)))
        return q.lastError().text();
    return {};
}

} // namespace

QString createCompanyDatabase(const QString &folder, const OwnCompany &own, const QString &copyFrom)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("无法建立文件夹“%1”。").arg(QDir::toNativeSeparators(folder));
    const QString target = QDir(folder).filePath(QStringLiteral("sjk.mdb"));
    if (QFileInfo::exists(target))
        return QStringLiteral("文件夹“%1”中已有数据库文件 sjk.mdb。").arg(QDir::toNativeSeparators(folder));
    QString source;
    if (!copyFrom.isEmpty()) {
        source = QDir(copyFrom).filePath(QStringLiteral("sjk.mdb"));
        // Both of this version: the rows go over column for column.
        const DatabaseStatus status = ensureDatabaseAt(source);
        if (!status.ok)
            return status.errorText;
    }
    const QString building = QDir(folder).filePath(QStringLiteral("sjk.mdb.building"));
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));
    QString error = createDatabase(building);
    if (error.isEmpty())
        error = inTransaction(building, source, [&](QSqlQuery &q) -> QString {
            if (!q.exec(QStringLiteral("DELETE FROM bssz")))
                return q.lastError().text();
            q.prepare(QStringLiteral("INSERT INTO bssz (gsmc, khh, zhh, hp, hc) VALUES (?, ?, ?, ?, ?)"));
            for (const QString &v : {own.name, own.bank, own.account, own.province, own.city})
                q.addBindValue(v.trimmed());
            if (!q.exec())
                return q.lastError().text();
            if (!source.isEmpty())
                for (const QString &table : {QStringLiteral("khb"), QStringLiteral("ytb")})
                    if (QString e = copyTable(q, table); !e.isEmpty())
                        return e;
            return {};
        });
    if (error.isEmpty() && !QFile::rename(building, target))
        error = QStringLiteral("不能改名为 %1").arg(target);
    if (!error.isEmpty()) {
        QFile::remove(building);
        QFile::remove(building + QStringLiteral("-journal"));
        return QStringLiteral("无法建立账套的数据库：%1").arg(error);
    }
    return {};
}

QString ownCompanyNameIn(const QString &folder)
{
    static int counter = 0;
    const QString connection = QStringLiteral("lanshi-company-name-%1").arg(++counter);
    QString name;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("sjk.mdb"))).toString(QUrl::FullyEncoded)
                           + QStringLiteral("?mode=ro"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT gsmc FROM bssz")) && q.next())
                name = q.value(0).toString().trimmed();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return name;
}

QStringList calibrationFilesIn(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("mqtx.ini"), QStringLiteral("jzddy.ini"),
                                              QStringLiteral("jkddy.ini"), QStringLiteral("printers.ini"),
                                              QStringLiteral("*-scan.png"), QStringLiteral("*-scan.ini")},
                                             QDir::Files))
        files << name;
    return files;
}

bool machineCalibrationExists()
{
    return QFileInfo::exists(QDir(machineCalibrationDir()).filePath(QStringLiteral("jz.mdb")));
}

QString startMachineCalibration(const QString &folder)
{
    if (machineCalibrationExists())
        return {};
    const QDir to(machineCalibrationDir());
    if (!QDir().mkpath(to.path()))
        return QStringLiteral("无法建立文件夹“%1”。").arg(QDir::toNativeSeparators(to.path()));
    const QDir from(folder);
    for (const QString &name : calibrationFilesIn(folder)) {
        QFile::remove(to.filePath(name));
        if (!QFile::copy(from.filePath(name), to.filePath(name)))
            return QStringLiteral("无法把“%1”复制到“%2”。").arg(QDir::toNativeSeparators(from.filePath(name)),
                                                             QDir::toNativeSeparators(to.path()));
    }
    // The database last: while it is missing the machine's calibration counts as not started.
    const QString building = to.filePath(QStringLiteral("jz.mdb.building"));
    QFile::remove(building);
    QString error = createDatabase(building);
    const QString source = from.filePath(QStringLiteral("sjk.mdb"));
    if (error.isEmpty() && QFileInfo::exists(source))
        error = inTransaction(building, source, [](QSqlQuery &q) -> QString {
            for (const QString &table : {QStringLiteral("dytj"), QStringLiteral("tydysz")})
                if (QString e = copyTable(q, table); !e.isEmpty())
                    return e;
            return {};
        });
    if (error.isEmpty() && !QFile::rename(building, to.filePath(QStringLiteral("jz.mdb"))))
        error = QStringLiteral("不能改名为 %1").arg(to.filePath(QStringLiteral("jz.mdb")));
    if (!error.isEmpty()) {
        QFile::remove(building);
        return QStringLiteral("无法建立本机的打印校准：%1").arg(error);
    }
    return {};
}

} // namespace store
