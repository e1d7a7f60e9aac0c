#include "rawdatabase.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

RawDatabase::RawDatabase(const QString &path)
{
    static int count = 0;
    m_name = QStringLiteral("raw-%1").arg(++count);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    m_ok = db.open();
}

RawDatabase::~RawDatabase()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

bool RawDatabase::run(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    return m_ok && q.exec(sql);
}

QString sqlite3(const QString &file, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), file, sql});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

int rootPage(const QString &file, const QString &table)
{
    return sqlite3(file, QStringLiteral("SELECT rootpage FROM sqlite_schema WHERE name = '%1'").arg(table)).toInt();
}

bool scramblePage(const QString &file, int page, int pageSize)
{
    QFile f(file);
    if (page < 1 || !f.open(QIODevice::ReadWrite) || f.size() < qint64(page) * pageSize)
        return false;
    QByteArray noise(pageSize, '\0');
    quint32 x = 2463534242u;
    for (char &c : noise) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return f.seek(qint64(page - 1) * pageSize) && f.write(noise) == noise.size();
}
