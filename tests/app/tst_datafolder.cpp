// The data folder as the program finds it when started: lanshi with --data-dir or
// LANSHI_DATA_DIR puts its database there and creates the folder; a folder it cannot use is named
// and nothing is done; a window copy holding the data keeps the command line off it, and the
// windows are told the same through a message box.

#include "app/startup.h"
#include "scriptedprompter.h"
#include "store/appdir.h"
#include "store/datadir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Run {
    int status = -1;
    QString out, err;
};

} // namespace

class TestDataFolder : public QObject {
    Q_OBJECT

    QTemporaryDir work;

    QString at(QString text) const { return text.replace(QLatin1Char('@'), work.path()); }

    // The program's environment: no data folder of the machine's, a home of the test's own.
    QProcessEnvironment environment(const QString &dataDir) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LANSHI_DATA_DIR"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.insert(QStringLiteral("HOME"), QDir(work.path()).filePath("home"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!dataDir.isEmpty())
            env.insert(QStringLiteral("LANSHI_DATA_DIR"), dataDir);
        return env;
    }

    Run run(const QStringList &args, const QString &dataDir = QString()) const
    {
        QProcess p;
        p.setProcessEnvironment(environment(dataDir));
        p.setWorkingDirectory(work.path());
        p.start(QStringLiteral(LANSHI_BINARY), args);
        Run r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        QFile file(QDir(work.path()).filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    void cleanup() { store::setAppDir(QString()); }

    // "@" is the test's work folder, the program's current folder. A list that does not exist
    // shows that the command got past the data folder: it fails with status 1 after the database
    // was made.
    void theDataGoesWhereTheStartSays_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("dataEnv"); // LANSHI_DATA_DIR; empty: unset
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("database"); // the folder that must hold sjk.mdb
        QTest::addColumn<QStringList>("untouched");
        QTest::addColumn<QString>("said"); // part of what the program printed

        const QStringList noList = {"print", "zpdy", "--data", "@/none.csv"};
        QTest::newRow("--data-dir, made with its parents")
            << (QStringList{"--data-dir", "@/a/b/data"} + noList) << QString() << 1 << "@/a/b/data"
            << QStringList() << "找不到文件";
        QTest::newRow("--data-dir=DIR after the command")
            << (noList + QStringList{"--data-dir=@/eq"}) << QString() << 1 << "@/eq" << QStringList() << "找不到文件";
        QTest::newRow("a relative --data-dir, from the current folder")
            << (QStringList{"--data-dir", "rel"} + noList) << QString() << 1 << "@/rel" << QStringList()
            << "找不到文件";
        QTest::newRow("LANSHI_DATA_DIR") << noList << "@/env" << 1 << "@/env" << QStringList() << "找不到文件";
        QTest::newRow("--data-dir before LANSHI_DATA_DIR")
            << (QStringList{"--data-dir", "@/opt"} + noList) << "@/env2" << 1 << "@/opt" << QStringList{"@/env2"}
            << "找不到文件";
        QTest::newRow("a folder through a regular file")
            << (QStringList{"--data-dir", "@/file/data"} + noList) << QString() << 2 << QString() << QStringList()
            << "无法建立数据文件夹“@/file/data”：路径中的“@/file”是文件";
        QTest::newRow("LANSHI_DATA_DIR where nobody may make a folder")
            << noList << "/proc/lanshi" << 2 << QString() << QStringList() << "无法建立数据文件夹“/proc/lanshi”";
        QTest::newRow("--data-dir without a folder")
            << (noList + QStringList{"--data-dir"}) << QString() << 1 << QString() << QStringList()
            << "--data-dir 后面要写数据文件夹";
        QTest::newRow("--help needs no data folder")
            << QStringList{"--help"} << "/proc/lanshi" << 0 << QString() << QStringList() << "LANSHI_DATA_DIR";
        QTest::newRow("--version is the project's")
            << QStringList{"--version"} << QString() << 0 << QString() << QStringList() << "蓝石竞技通 " LANSHI_VERSION "\n";
    }
    void theDataGoesWhereTheStartSays()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, dataEnv);
        QFETCH(int, status);
        QFETCH(QString, database);
        QFETCH(QStringList, untouched);
        QFETCH(QString, said);
        for (QString &a : args)
            a = at(a);
        const Run r = run(args, at(dataEnv));
        QVERIFY2(r.status == status, qPrintable(QStringLiteral("status %1\n%2%3").arg(r.status).arg(r.out, r.err)));
        QVERIFY2((r.out + r.err).contains(at(said)), qPrintable(r.out + r.err));
        if (!database.isEmpty()) {
            QVERIFY(QFileInfo(QDir(at(database)).filePath("sjk.mdb")).isFile());
            // The command let go of the data when it ended.
            QVERIFY(!QFile::exists(QDir(at(database)).filePath("lanshi.lock")));
        }
        for (const QString &folder : untouched)
            QVERIFY(!QFile::exists(at(folder)));
        QVERIFY(!QFile::exists(QDir(work.path()).filePath("home/.local/share/lanshi")));
    }

    // A copy with its windows open holds the data: the command line prints nothing and says who
    // holds it. Once that copy is gone, even killed, the data can be used again.
    void aWindowCopyKeepsTheCommandLineOff()
    {
        const QString data = QDir(work.path()).filePath("shared");
        QProcess windows;
        windows.setProcessEnvironment(environment(QString()));
        windows.start(QStringLiteral(LANSHI_BINARY), {"--data-dir", data});
        QVERIFY(windows.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(data).filePath("sjk.mdb")), 30000);

        const QStringList print = {"--data-dir", data, "print", "zpdy", "--data", at("@/none.csv")};
        Run r = run(print);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(QStringLiteral("数据文件夹“%1”正在被另一个蓝石竞技通使用（本机的进程 %2）")
                                    .arg(data)
                                    .arg(windows.processId())),
                 qPrintable(r.err));
        QVERIFY(r.err.contains("没有打印"));

        windows.kill();
        QVERIFY(windows.waitForFinished());
        QVERIFY(QFile::exists(QDir(data).filePath("lanshi.lock")));
        r = run(print);
        QVERIFY2(r.status == 1 && r.err.contains("找不到文件"), qPrintable(r.err));
    }

    // At the windows' start the same refusals come as a message box naming the folder.
    void theWindowsAreToldWhyTheDataCannotBeUsed()
    {
        ScriptedPrompter prompter;
        QVERIFY(!app::openDataFolder(at("@/file/data")));
        QCOMPARE(prompter.prompts.size(), 1);
        QVERIFY2(prompter.lastText().contains(at("无法建立数据文件夹“@/file/data”")), qPrintable(prompter.lastText()));
        QCOMPARE(prompter.lastTitle(), QStringLiteral("蓝石竞技通"));
        QCOMPARE(prompter.prompts.last().icon, ui::Icon::Critical);

        const QString data = at("@/windows");
        store::DataDirRequest request;
        request.option = data;
        QString error;
        const std::unique_ptr<store::DataDir> held = store::DataDir::open(request, &error);
        QVERIFY2(held, qPrintable(error));
        QVERIFY(!app::openDataFolder(data));
        QVERIFY2(prompter.lastText().contains(QStringLiteral("数据文件夹“%1”正在被另一个蓝石竞技通使用").arg(data)),
                 qPrintable(prompter.lastText()));
    }
};

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
