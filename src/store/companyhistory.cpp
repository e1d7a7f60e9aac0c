#include "store/companyhistory.h"

#include "store/companies.h"
#include "store/sqlfunctions.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace store {

CompanyHistory searchAllCompanies(const Statement &statement)
{
    CompanyHistory result;
    QString sql = QStringLiteral("SELECT * FROM %1").arg(statement.table());
    if (!statement.condition().isEmpty())
        sql += QStringLiteral(" WHERE ") + statement.condition();
    if (!statement.order().isEmpty())
        sql += QStringLiteral(" ORDER BY ") + statement.order();
    static int counter = 0;
    for (const Company &company : companies()) {
        if (const QString problem = companyFolderProblem(company); !problem.isEmpty()) {
            result.problems << problem;
            continue;
        }
        const QString name = QStringLiteral("lanshi-across-%1").arg(++counter);
        QString error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            const QString path = QDir(company.folder).filePath(QStringLiteral("sjk.mdb"));
            // Read-only: another program window may be printing into it this moment.
            db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open()) {
                error = db.lastError().text();
            } else if (error = registerFunctions(db); error.isEmpty()) {
                QSqlQuery q(db);
                q.setForwardOnly(true);
                q.prepare(sql);
                for (const QVariant &v : statement.values())
                    q.addBindValue(v);
                if (!q.exec()) {
                    error = q.lastError().text();
                } else {
                    const QSqlRecord record = q.record();
                    if (result.columns.isEmpty())
                        for (int i = 0; i < record.count(); ++i)
                            result.columns << record.fieldName(i);
                    while (q.next()) {
                        CompanyHistoryRow row{company.name, {}};
                        for (int i = 0; i < record.count(); ++i)
                            row.values << q.value(i);
                        result.rows << row;
                    }
                }
                q.finish();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        if (!error.isEmpty())
            result.problems << QStringLiteral("账套“%1”的打印记录无法读取：%2").arg(company.name, error);
    }
    return result;
}

} // namespace store
