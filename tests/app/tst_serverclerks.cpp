// Clerks sharing one 账套 on a PostgreSQL server (a private one, tests/support/pgserver.h): the
// command line prints into the server's history as into a file's, and clerks on several machines
// printing at the same moment lose no row and double none.

#include "app/companydesk.h"
#include "pgserver.h"
#include "store/appdir.h"
#include "store/companies.h"
#include "store/companyfiles.h"
#include "store/server.h"
#include "ui/fonts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>

namespace {

const QString kOwn = QStringLiteral("上海鑫达建材有限公司");
const QString kPayee = QStringLiteral("上海华东建材有限公司");

struct Run {
    int status = -1;
    QString out, err;
};

} // namespace

class TestServerClerks : public QObject {
    Q_OBJECT

    std::unique_ptr<PgServer> pg;
    std::unique_ptr<QTemporaryDir> tmp;
    QString machine, database;
    store::ServerAddress address;

    Run lanshi(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANSHI_MACHINE_DIR"), machine);
        env.remove(QStringLiteral("LANSHI_DATA_DIR"));
        env.insert(QStringLiteral("HOME"), tmp->filePath(QStringLiteral("home"))); // new 账套 folders go there
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LANSHI_BINARY), args);
        Run r;
        if (!p.waitForFinished(300000))
            return r;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString list(const QString &name, int first, int count)
    {
        QString text = QStringLiteral("收款人,金额,日期,用途,支票号码\n");
        for (int i = 0; i < count; ++i)
            text += QStringLiteral("%1,%2.00,2010-04-14,货款,%3\n").arg(kPayee).arg(100 + first + i).arg(first + i, 8, 10, QLatin1Char('0'));
        const QString path = tmp->filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        return path;
    }
    QString psql(const QString &sql) { return pg->psql(database, sql); }

private slots:
    void initTestCase()
    {
        ui::installChineseFonts();
        pg = std::make_unique<PgServer>();
        if (!pg->isRunning())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server: ") + pg->error()));
    }
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        machine = tmp->filePath(QStringLiteral("machine"));
        store::setMachineDir(machine);
        const QString file = tmp->filePath(QStringLiteral("file"));
        QCOMPARE(store::createCompanyDatabase(file, {kOwn, QStringLiteral("工行上海分行"), QStringLiteral("1001"), {}, {}}),
                 QString());
        database = QStringLiteral("t%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
        address = pg->createDatabase(database);
        QString error;
        {
            QSqlDatabase db = store::openServer(address, database, &error);
            QVERIFY2(db.isOpen(), qPrintable(error));
            QCOMPARE(store::uploadToServer(QDir(file).filePath(QStringLiteral("sjk.mdb")), db), QString());
            db.close();
        }
        QSqlDatabase::removeDatabase(database);
        const QString local = tmp->filePath(QStringLiteral("server"));
        QVERIFY(QDir().mkpath(local));
        QVERIFY2(store::addCompany({QStringLiteral("总部"), local, true, {}, address}, &error), qPrintable(error));
        QVERIFY2(store::addCompany({QStringLiteral("文件"), file, true, {}}, &error), qPrintable(error));
    }
    void cleanup()
    {
        store::setMachineDir(QString());
        tmp.reset();
    }

    void theCommandLinePrintsIntoTheServersHistory()
    {
        const QString pdf = tmp->filePath(QStringLiteral("out.pdf"));
        const Run r = lanshi({QStringLiteral("--company"), QStringLiteral("总部"), QStringLiteral("print"), QStringLiteral("zpdy"),
                              QStringLiteral("--data"), list(QStringLiteral("a.csv"), 1, 3), QStringLiteral("--pdf"), pdf});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const Run listed = lanshi({QStringLiteral("companies")});
        QVERIFY2(listed.out.contains(QStringLiteral("数据库服务器 lanshi@")), qPrintable(listed.out));
        QCOMPARE(psql(QStringLiteral("SELECT string_agg(pzlx || '|' || pzhm || '|' || fkje || '|' || fkrmc, ',' ORDER BY xh) FROM dyb")),
                 QStringLiteral("支票|00000001|101.00|%1,支票|00000002|102.00|%1,支票|00000003|103.00|%1").arg(kOwn));
        QVERIFY(QFile::exists(pdf));
        // No file database came into the 账套's folder.
        QVERIFY(!QFile::exists(tmp->filePath(QStringLiteral("server/sjk.mdb"))));
        // The list again: every cheque is now a repeat of this morning's, on any clerk's machine.
        const Run again = lanshi({QStringLiteral("--company"), QStringLiteral("总部"), QStringLiteral("print"), QStringLiteral("zpdy"),
                                  QStringLiteral("--data"), list(QStringLiteral("a.csv"), 1, 3), QStringLiteral("--pdf"),
                                  tmp->filePath(QStringLiteral("again.pdf"))});
        QCOMPARE(again.status, 1);
        QVERIFY2(again.err.contains(QStringLiteral("--allow-repeat")), qPrintable(again.err));
        QCOMPARE(psql(QStringLiteral("SELECT count(*) FROM dyb")), QStringLiteral("3"));
    }

    // The program window does not open a server 账套 yet: told, and another may be chosen.
    void theWindowTellsItCannotOpenAServerCompanyYet()
    {
        app::CompanyDesk desk;
        QString told, error;
        const bool opened = desk.openAtStart({QString(), QStringLiteral("总部")}, [&](const QString &problem) {
            told = problem;
            return std::optional<store::Company>();
        }, &error);
        QVERIFY(!opened);
        QVERIFY2(told.contains(QStringLiteral("程序窗口暂时还不能打开服务器上的账套")), qPrintable(told));
    }

    // "上传到服务器" from the command line: a file 账套 into an empty server database, as a new 账套.
    void aFileCompanyUploadsAsANewServerCompany()
    {
        const store::ServerAddress target = pg->createDatabase(database + QStringLiteral("b"));
        const QStringList args = {QStringLiteral("upload"), QStringLiteral("文件"), QStringLiteral("--as"), QStringLiteral("分部"),
                                  QStringLiteral("--host"), target.host, QStringLiteral("--port"), QString::number(target.port),
                                  QStringLiteral("--database"), target.database, QStringLiteral("--user"), target.user};
        const Run r = lanshi(args);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(pg->psql(target.database, QStringLiteral("SELECT gsmc FROM bssz")), kOwn);
        const Run listed = lanshi({QStringLiteral("companies")});
        QVERIFY2(listed.out.contains(QStringLiteral("分部")) && listed.out.contains(target.toString()), qPrintable(listed.out));
        // Once more into the same database: it is no longer empty, and nothing is added.
        QStringList second = args;
        second[3] = QStringLiteral("分部二");
        const Run again = lanshi(second);
        QCOMPARE(again.status, 2);
        QVERIFY2(again.err.contains(QStringLiteral("不是空的")), qPrintable(again.err));
        QVERIFY(!lanshi({QStringLiteral("companies")}).out.contains(QStringLiteral("分部二")));
    }

    // Four clerks print 250 cheques each at the same moment: 1,000 rows, every number once, and
    // each clerk's list one unbroken run of keys (its PDF's rows, which its journal entry names).
    void fourClerksAtOnceLoseNoRowAndDoubleNone()
    {
        std::vector<std::unique_ptr<QProcess>> clerks;
        for (int k = 0; k < 4; ++k) {
            // Each clerk on a machine of its own: its own 账套 list and folder, the one server.
            const QString own = tmp->filePath(QStringLiteral("machine%1").arg(k));
            store::setMachineDir(own);
            QVERIFY(QDir().mkpath(own + QStringLiteral("/folder")));
            QString error;
            QVERIFY2(store::addCompany({QStringLiteral("总部"), own + QStringLiteral("/folder"), true, {}, address}, &error),
                     qPrintable(error));
            auto p = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LANSHI_MACHINE_DIR"), own);
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            p->setProcessEnvironment(env);
            p->start(QStringLiteral(LANSHI_BINARY),
                     {QStringLiteral("--company"), QStringLiteral("总部"), QStringLiteral("print"), QStringLiteral("zpdy"),
                      QStringLiteral("--data"), list(QStringLiteral("clerk%1.csv").arg(k), 1 + 1000 * k, 250),
                      QStringLiteral("--pdf"), tmp->filePath(QStringLiteral("clerk%1.pdf").arg(k))});
            clerks.push_back(std::move(p));
        }
        for (auto &p : clerks) {
            QVERIFY(p->waitForFinished(600000));
            QVERIFY2(p->exitCode() == 0, qPrintable(QString::fromUtf8(p->readAllStandardError()).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        }
        QCOMPARE(psql(QStringLiteral("SELECT count(*), count(DISTINCT pzhm), count(DISTINCT xh) FROM dyb")),
                 QStringLiteral("1000|1000|1000"));
        QCOMPARE(psql(QStringLiteral("SELECT string_agg(d::text, ',') FROM (SELECT max(xh) - min(xh) AS d FROM dyb "
                                     "GROUP BY (pzhm::bigint - 1) / 1000) runs")),
                 QStringLiteral("249,249,249,249"));
        QCOMPARE(psql(QStringLiteral("SELECT count(*) FROM dyb_jobs")), QStringLiteral("0")); // every print settled
    }
};

QTEST_MAIN(TestServerClerks)
#include "tst_serverclerks.moc"
