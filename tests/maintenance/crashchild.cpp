// The program's writes, one per run, for the crash test to kill at random moments. Prints "go"
// when the write starts and "done" when it has finished.
//   crashchild import  <app dir>            the customers of <app dir>/khb.xls, one transaction
//   crashchild backup  <app dir> <target>   a backup of the database to target
//   crashchild restore <app dir> <backup>   a restore of backup over the database
//   crashchild saves   <app dir> <first> <count>   customers saved one by one, as the add window does
//   crashchild start   <app dir>            what the program does when it starts

#include "maintenance/customerimport.h"
#include "maintenance/databasefile.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/statements.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void say(const char *what)
{
    std::printf("%s\n", what);
    std::fflush(stdout);
}

int fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return fail(QStringLiteral("usage: crashchild <mode> <app dir> ..."));
    const QString mode = args.at(1);
    store::setAppDir(args.at(2));

    if (mode == QLatin1String("start")) {
        const store::DatabaseStatus status = store::ensureDatabase();
        maintenance::removeLeftoversAtStart();
        return status.ok ? 0 : fail(status.errorText);
    }

    if (mode == QLatin1String("import")) {
        const sheets::Sheet sheet = maintenance::readCustomerSheet(store::appFile(QStringLiteral("khb.xls")));
        if (!sheet.ok())
            return fail(sheet.error);
        QVector<QStringList> rows;
        QVector<int> sheetRows;
        for (const sheets::Row &r : sheet.rows) {
            rows << r.cells;
            sheetRows << r.sheetRow;
        }
        store::Connection connection;
        QString failedRow, error;
        say("go");
        if (!maintenance::appendCustomers(connection, rows, sheetRows, {}, &failedRow, &error))
            return fail(failedRow + error);
    } else if (mode == QLatin1String("backup") && args.size() > 3) {
        say("go");
        const maintenance::BackupResult r = maintenance::backupDatabase(args.at(3));
        if (!r.ok())
            return fail(r.error);
    } else if (mode == QLatin1String("restore") && args.size() > 3) {
        store::Connection open; // a window with the database open, as in the program
        say("go");
        const maintenance::RestoreResult r = maintenance::restoreDatabase(args.at(3));
        if (!r.ok())
            return fail(r.error);
    } else if (mode == QLatin1String("saves") && args.size() > 4) {
        store::Connection connection;
        store::DataSource customers(connection);
        customers.setStatement(store::statements::customersForAppending());
        if (!customers.refresh())
            return fail(customers.errorText());
        const int first = args.at(3).toInt(), count = args.at(4).toInt();
        say("go");
        for (int i = first; i < first + count; ++i) {
            customers.addNew();
            customers.setValue(0, QStringLiteral("保存%1").arg(i));
            customers.setValue(1, QStringLiteral("账号%1").arg(i));
            customers.setValue(2, QStringLiteral("开户行%1").arg(i));
            customers.setValue(3, QStringLiteral("省%1").arg(i));
            customers.setValue(4, QStringLiteral("市%1").arg(i));
            customers.setValue(5, QStringLiteral("BC%1").arg(i));
            if (!customers.update())
                return fail(customers.errorText());
        }
    } else {
        return fail(QStringLiteral("unknown mode ") + mode);
    }
    say("done");
    return 0;
}
