// Backup and restore windows: exact copies, refusals that leave the live file alone, and open
// windows that see the restored data.

#include "maintenance/backuprestore.h"
#include "maintenance/databasefile.h"
#include "reference/customermanage.h"
#include "rawdatabase.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "storefixture.h"
#include "ui/fonts.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using store::statements::customers;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QByteArray hashOf(const QString &path) { return QCryptographicHash::hash(contents(path), QCryptographicHash::Sha256); }
bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(name); }

// Everything a database holds: tables, rows, and the ids that mark it as ours.
QString everything(const QString &file)
{
    return sqlite3(file, ".dump") + "\n" + sqlite3(file, "PRAGMA application_id; PRAGMA user_version;");
}
int customerCount(const QString &file) { return sqlite3(file, "SELECT count(*) FROM khb").toInt(); }
QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name); }
QStringList filesIn(const QString &dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

} // namespace

class TestBackupRestore : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;
    QTemporaryDir elsewhere; // where the user keeps his backups

    maintenance::BackupWindow *backupWindow(const QString &destination)
    {
        auto *w = new maintenance::BackupWindow;
        w->setDestinationChooser([destination](QWidget *) { return destination; });
        w->show();
        return w;
    }
    maintenance::RestoreWindow *restoreWindow(const QString &backup)
    {
        auto *w = new maintenance::RestoreWindow;
        w->setBackupChooser([backup](QWidget *) { return backup; });
        w->show();
        return w;
    }
    // Runs a whole restore of path and says whether it reported success.
    bool restore(const QString &path)
    {
        QPointer<maintenance::RestoreWindow> w = restoreWindow(path);
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        prompter->answer(ui::Yes); // to the question whether to replace today's data, when asked
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        const bool ok = prompter->lastText().startsWith("数据恢复完成!!");
        delete w;
        return ok;
    }

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
        prompter.reset();
        db.reset();
        for (const QString &f : filesIn(elsewhere.path()))
            QFile::remove(elsewhere.filePath(f));
    }

    void startNeedsAChosenPath()
    {
        QPointer<maintenance::BackupWindow> b = backupWindow(QString());
        QCOMPARE(edit(b, "Text1")->text(), store::databasePath());
        QVERIFY(edit(b, "Text1")->isHidden());
        QVERIFY(!button(b, "Command3")->isEnabled());
        QTest::mouseClick(button(b, "Command2"), Qt::LeftButton); // dialog cancelled
        QVERIFY(!button(b, "Command3")->isEnabled());
        QVERIFY(b->findChild<QProgressBar *>("ProgressBar1")->isHidden());
        saveScreenshot(b, "sjbf");

        QPointer<maintenance::RestoreWindow> r = restoreWindow(QString());
        QCOMPARE(edit(r, "Text2")->text(), store::databasePath());
        QVERIFY(!button(r, "Command3")->isEnabled());
        QTest::mouseClick(button(r, "Command1"), Qt::LeftButton);
        QVERIFY(!button(r, "Command3")->isEnabled());
        r->setBackupChooser([this](QWidget *) { return elsewhere.filePath("x.mdb"); });
        QTest::mouseClick(button(r, "Command1"), Qt::LeftButton);
        QCOMPARE(edit(r, "Text1")->text(), elsewhere.filePath("x.mdb"));
        QVERIFY(button(r, "Command3")->isEnabled());
        saveScreenshot(r, "sjhf");
        QVERIFY(prompter->prompts.isEmpty());
    }

    void backupIsProposedInDocumentsOrHome()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
        const QString name = "sjk-备份-" + QDate::currentDate().toString("yyyyMMdd") + ".mdb";
        // No Documents folder: the home folder.
        const QString withoutDocuments = maintenance::BackupWindow::proposedDestination();
        QVERIFY(QDir(home.path()).mkdir("Documents"));
        const QString withDocuments = maintenance::BackupWindow::proposedDestination();
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(withoutDocuments, home.filePath(name));
        QCOMPARE(withDocuments, home.filePath("Documents/" + name));
    }

    void backupOverALargerFileHoldsTheWholeDatabase()
    {
        const QString target = elsewhere.filePath("sjk.mdb");
        QVERIFY(writeBytes(target, QByteArray(int(QFileInfo(store::databasePath()).size()) * 3, 'x')));
        QPointer<maintenance::BackupWindow> w = backupWindow(target);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QVERIFY(button(w, "Command3")->isEnabled());

        QStringList captions;
        connect(w->findChild<QProgressBar *>("ProgressBar1"), &QProgressBar::valueChanged, this,
                [&] { captions << button(w, "Command3")->text(); });
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);

        QCOMPARE(everything(target), everything(store::databasePath()));
        QCOMPARE(QFileInfo(target).size(), QFileInfo(store::databasePath()).size());
        QVERIFY(!captions.isEmpty());
        QCOMPARE(captions.first(), QStringLiteral("正在备份..."));
        QCOMPARE(button(w, "Command3")->text(), QStringLiteral("开始备份"));
        QCOMPARE(w->findChild<QProgressBar *>("ProgressBar1")->value(), 10000);
        QVERIFY(w->findChild<QProgressBar *>("ProgressBar1")->isVisible());
        QCOMPARE(prompter->texts(), QStringList{"数据备份完成!!"});
        QCOMPARE(prompter->lastTitle(), QStringLiteral("蓝石票据通"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
        QVERIFY(prompter->prompts.last().centredOnScreen);
        QCOMPARE(filesIn(elsewhere.path()), QStringList{"sjk.mdb"}); // no temporary file left
    }

    void backupFailuresLeaveNoFile()
    {
        const QString missingFolder = elsewhere.filePath("没有这个文件夹/sjk.mdb");
        QPointer<maintenance::BackupWindow> w = backupWindow(missingFolder);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY(prompter->lastText().contains("不存在"));
        QVERIFY(!QFileInfo::exists(missingFolder));
        QCOMPARE(button(w, "Command3")->text(), QStringLiteral("开始备份"));

        // Onto the live database itself.
        const QByteArray before = hashOf(store::databasePath());
        prompter->clear();
        w->setDestinationChooser([](QWidget *) { return store::databasePath(); });
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY(!prompter->lastText().contains("完成!!"));
        QCOMPARE(hashOf(store::databasePath()), before);

        // The database file gone.
        prompter->clear();
        const QString target = elsewhere.filePath("b.mdb");
        w->setDestinationChooser([target](QWidget *) { return target; });
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QVERIFY(QFile::rename(store::databasePath(), elsewhere.filePath("moved")));
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QVERIFY(prompter->lastText().contains("找不到文件"));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(QFile::rename(elsewhere.filePath("moved"), store::databasePath()));
        QCOMPARE(filesIn(elsewhere.path()), QStringList());
    }

    void restoreRefusesWhatIsNotOurDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty file") << "empty" << "空文件";
        QTest::newRow("truncated database") << "truncated" << "不完整";
        QTest::newRow("text file") << "text" << "不是本程序的数据库";
        QTest::newRow("database header only") << "header" << "不完整";
        QTest::newRow("longer than its header says") << "longer" << "不符";
        QTest::newRow("scrambled pages") << "scrambled" << "已损坏";
        // The tables are all there; only the last page of rows is damaged.
        QTest::newRow("damaged last data page") << "last page" << "已损坏";
        QTest::newRow("another program's database") << "other" << "不是本程序的数据库";
        QTest::newRow("missing file") << "missing" << "找不到文件";
    }
    void restoreRefusesWhatIsNotOurDatabase()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        // A sound backup with enough rows to fill several pages of the history.
        const QString good = elsewhere.filePath("good.mdb");
        {
            RawDatabase raw(store::databasePath());
            QVERIFY(raw.run("BEGIN"));
            for (int i = 0; i < 400; ++i)
                QVERIFY(raw.run(QString("INSERT INTO dyb (fkrq, skrmc, pzhm) VALUES ('2024-01-01', '收款人%1', '%1')").arg(i)));
            QVERIFY(raw.run("COMMIT"));
        }
        QVERIFY(maintenance::backupDatabase(good).ok());
        QCOMPARE(maintenance::checkBackupFile(good), QString());
        const QByteArray sound = contents(good);

        const QString path = elsewhere.filePath("备份.mdb");
        if (kind == "empty") {
            QVERIFY(writeBytes(path, {}));
        } else if (kind == "truncated") {
            QVERIFY(writeBytes(path, sound.left(sound.size() / 2)));
        } else if (kind == "text") {
            QVERIFY(writeBytes(path, "客户名称,帐号\n甲,6222\n"));
        } else if (kind == "header") {
            QVERIFY(writeBytes(path, sound.left(100)));
        } else if (kind == "longer") {
            QVERIFY(writeBytes(path, sound + QByteArray(4096, '\0')));
        } else if (kind == "scrambled") {
            QByteArray scrambled = sound;
            for (int i = 4096; i < scrambled.size(); i += 3)
                scrambled[i] = char(0x5A);
            QVERIFY(writeBytes(path, scrambled));
        } else if (kind == "last page") {
            QVERIFY(writeBytes(path, sound));
            QVERIFY(scramblePage(path, int(sound.size() / 4096)));
            QCOMPARE(store::checkDatabaseFile(path), QString()); // every table and column in place
        } else if (kind == "other") {
            RawDatabase other(path);
            QVERIFY(other.run("CREATE TABLE khb (name text, phone text)"));
            QVERIFY(other.run("INSERT INTO khb VALUES ('x', '1')"));
        }
        const QByteArray before = hashOf(store::databasePath());
        const QStringList filesBefore = filesIn(db->dir().path());

        QVERIFY(!restore(path));
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains(says), qPrintable(prompter->lastText()));
        QVERIFY(prompter->lastText().contains("当前数据库保持原样"));
        QCOMPARE(hashOf(store::databasePath()), before);
        QCOMPARE(filesIn(db->dir().path()), filesBefore); // no safety copy, no staged file
        QCOMPARE(StoreFixture::column(customers(), "gsmc").size(), 1); // still usable
    }

    // A file that can be refused from its first bytes and its length is refused before a byte of
    // it is copied: a 2 GB file of the wrong kind costs nothing.
    void restoreLooksAtAFileBeforeCopyingIt_data()
    {
        QTest::addColumn<bool>("ourHeader");
        QTest::newRow("not a database") << false;
        QTest::newRow("our header, wrong length") << true;
    }
    void restoreLooksAtAFileBeforeCopyingIt()
    {
        QFETCH(bool, ourHeader);
        const QByteArray head = ourHeader ? contents(store::databasePath()).left(4096) : QByteArray(4096, 'x');
        const QString path = elsewhere.filePath("大文件.mdb");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(head), head.size());
            QVERIFY(f.resize(qint64(2) << 30)); // sparse: takes no room on the disk
        }
        const QByteArray before = hashOf(store::databasePath());
        const QStringList filesBefore = filesIn(db->dir().path());
        qint64 copied = 0;
        const maintenance::RestoreResult r = maintenance::restoreDatabase(path, [&](qint64 done, qint64) {
            copied = std::max(copied, done);
        });
        QVERIFY(!r.ok());
        QCOMPARE(copied, 0);
        QCOMPARE(hashOf(store::databasePath()), before);
        QCOMPARE(filesIn(db->dir().path()), filesBefore);
    }

    // Another SQLite program put the database in WAL mode and its newest rows are still in the
    // log beside the file: the backup has them all.
    void backupOfAWalModeDatabaseHoldsEveryCommittedRow()
    {
        const QString live = store::databasePath();
        RawDatabase other(live);
        QVERIFY(other.run("PRAGMA journal_mode=WAL"));
        QVERIFY(other.run("PRAGMA wal_autocheckpoint=0"));
        for (int i = 0; i < 20; ++i)
            QVERIFY(other.run(QString("INSERT INTO khb (gsmc) VALUES ('WAL客户%1')").arg(i)));
        QVERIFY(QFileInfo(live + "-wal").size() > 0);

        const QString target = elsewhere.filePath("wal.mdb");
        QPointer<maintenance::BackupWindow> w = backupWindow(target);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->texts(), QStringList{"数据备份完成!!"});
        QCOMPARE(customerCount(target), 21);
        QCOMPARE(sqlite3(target, "PRAGMA journal_mode"), QStringLiteral("delete"));
        QCOMPARE(filesIn(elsewhere.path()), QStringList{"wal.mdb"}); // no log, no temporary
    }

    // A restored file is put in the program's journal mode with its log taken in: every row of
    // the chosen backup, no -wal or -shm left in the program folder.
    void restoreOfAWalModeBackupTakesItsLogIn()
    {
        const QString backup = elsewhere.filePath("wal.mdb");
        QVERIFY(QFile::copy(store::databasePath(), backup));
        RawDatabase other(backup); // stays open: the log stays beside the file
        QVERIFY(other.run("PRAGMA journal_mode=WAL"));
        QVERIFY(other.run("PRAGMA wal_autocheckpoint=0"));
        for (int i = 0; i < 20; ++i)
            QVERIFY(other.run(QString("INSERT INTO khb (gsmc) VALUES ('WAL客户%1')").arg(i)));
        QVERIFY(QFileInfo(backup + "-wal").size() > 0);

        QVERIFY2(restore(backup), qPrintable(prompter->lastText()));
        QCOMPARE(StoreFixture::column(customers(), "gsmc").size(), 21);
        const QStringList files = filesIn(db->dir().path());
        QVERIFY2(files.filter(QRegularExpression("-(wal|shm|journal)$|^\\.")).isEmpty(), qPrintable(files.join(' ')));
        QCOMPARE(sqlite3(store::databasePath(), "PRAGMA journal_mode"), QStringLiteral("delete"));
        QCOMPARE(customerCount(store::databasePath()), 21);
    }

    // One page of khb overwritten: the backup says so and the good backup the user keeps stays.
    void backupOfADamagedDatabaseKeepsTheGoodBackup()
    {
        {
            RawDatabase raw(store::databasePath());
            QVERIFY(raw.run("BEGIN"));
            for (int i = 0; i < 500; ++i)
                QVERIFY(raw.run(QString("INSERT INTO khb (gsmc, zhh) VALUES ('客户%1', '6222%1')").arg(i)));
            QVERIFY(raw.run("COMMIT"));
        }
        const QString target = elsewhere.filePath("sjk-备份.mdb");
        QVERIFY(maintenance::backupDatabase(target).ok());
        const QByteArray good = hashOf(target);

        store::Connection::closeAll(); // nothing cached over the damage
        QVERIFY(scramblePage(store::databasePath(), rootPage(store::databasePath(), "khb")));
        store::Connection::reopenAll();

        QPointer<maintenance::BackupWindow> w = backupWindow(target);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains("已损坏"), qPrintable(prompter->lastText()));
        QVERIFY(prompter->lastText().contains("数据恢复"));
        QVERIFY(prompter->lastText().contains("没有改变"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Critical);
        QCOMPARE(hashOf(target), good);
        QCOMPARE(filesIn(elsewhere.path()), QStringList{"sjk-备份.mdb"});
    }

    // Files an earlier backup to the same name left when it was killed go; nothing else does.
    void backupRemovesWhatAnEarlierBackupLeft()
    {
        const QStringList leftovers = {".b.mdb.Ab12Cd.tmp", ".b.mdb.Ab12Cd.tmp-journal", ".b.mdb.x9Y8z7.tmp-wal"};
        const QStringList others = {".c.mdb.Ab12Cd.tmp", ".b.mdb.Ab12C.tmp", "b.mdb.Ab12Cd.tmp", ".b.mdb.Ab12Cd.bak",
                                    "笔记.txt"};
        for (const QString &name : leftovers + others)
            QVERIFY(writeBytes(elsewhere.filePath(name), QByteArray(100, 'x')));
        QVERIFY(maintenance::backupDatabase(elsewhere.filePath("b.mdb")).ok());
        QStringList expected = others;
        expected << "b.mdb";
        expected.sort();
        QCOMPARE(filesIn(elsewhere.path()), expected);
    }

    // 否, the default, to the question replaces nothing and copies nothing.
    void restoreAsksFirstAndNoLeavesEverything()
    {
        const QString backup = elsewhere.filePath("备份.mdb");
        QVERIFY(maintenance::backupDatabase(backup).ok());
        QVERIFY(StoreFixture::append(customers(), {"恢复前的客户", "1", "2", "3", "4", "HFQ"}));
        const QString before = everything(store::databasePath());
        QPointer<maintenance::RestoreWindow> r = restoreWindow(backup);
        QTest::mouseClick(button(r, "Command1"), Qt::LeftButton);
        prompter->clear();
        prompter->answer(ui::No);
        QTest::mouseClick(button(r, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 1);
        QCOMPARE(prompter->lastTitle(), QStringLiteral("数据恢复"));
        QCOMPARE(everything(store::databasePath()), before);
        QCOMPARE(QDir(store::appDir()).entryList({"sjk-恢复前-*"}, QDir::Files), QStringList{});
        delete r;
    }

    void restoredDataIsSeenByAnOpenWindow()
    {
        // A backup with today's one sample customer, then a customer added after it.
        const QString backup = elsewhere.filePath("二〇二六年备份.mdb"); // any name will do
        QPointer<maintenance::BackupWindow> b = backupWindow(backup);
        QTest::mouseClick(button(b, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(b, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("数据备份完成!!"));
        delete b;
        const QStringList backedUp = StoreFixture::column(customers(), "gsmc");
        QVERIFY(StoreFixture::append(customers(), {"恢复后不应再有", "1", "2", "3", "4", "HFH"}));
        const QString liveBefore = everything(store::databasePath());

        auto *manage = new reference::CustomerManageWindow;
        manage->show();
        QCOMPARE(manage->customers().recordCount(), backedUp.size() + 1);

        prompter->clear();
        QPointer<maintenance::RestoreWindow> r = restoreWindow(backup);
        QTest::mouseClick(button(r, "Command1"), Qt::LeftButton);
        QStringList captions;
        connect(r->findChild<QProgressBar *>("ProgressBar1"), &QProgressBar::valueChanged, this,
                [&] { captions << button(r, "Command3")->text(); });
        prompter->answer(ui::Yes);
        QTest::mouseClick(button(r, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 2);
        // Asked first, with the file, its date and what it holds against today's data.
        const ui::Prompt asked = prompter->prompts.first();
        QCOMPARE(asked.defaultButton, ui::No);
        QVERIFY2(asked.text.contains(QDir::toNativeSeparators(backup)), qPrintable(asked.text));
        QVERIFY2(asked.text.contains(QStringLiteral("备份中：客户 %1 个，打印记录 0 条").arg(backedUp.size())),
                 qPrintable(asked.text));
        QVERIFY2(asked.text.contains(QStringLiteral("现在：客户 %1 个").arg(backedUp.size() + 1)), qPrintable(asked.text));
        QVERIFY(asked.text.contains(QFileInfo(backup).lastModified().toString("yyyy-MM-dd HH:mm")));
        // The user is told where the database as it was has been kept.
        QCOMPARE(prompter->lastText(), "数据恢复完成!!\n恢复前的数据库已另存为：\n" + r->lastSafetyCopy());
        QCOMPARE(prompter->lastTitle(), QStringLiteral("蓝石票据通"));
        QVERIFY(prompter->prompts.last().centredOnScreen);
        QVERIFY(captions.contains("正在恢复..."));
        QCOMPARE(button(r, "Command3")->text(), QStringLiteral("开始恢复"));

        QCOMPARE(hashOf(store::databasePath()), hashOf(backup));
        // The live file as it was is kept beside it.
        QVERIFY(r->lastSafetyCopy().startsWith(db->dir().path()));
        QCOMPARE(everything(r->lastSafetyCopy()), liveBefore);

        // The window opened before the restore reads the restored file, not the replaced one.
        QVERIFY(manage->customers().refresh());
        QCOMPARE(manage->customers().recordCount(), backedUp.size());
        manage->hide();
        manage->show(); // activation
        QCOMPARE(manage->customers().recordCount(), backedUp.size());
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), backedUp);
        // And it can write to it.
        manage->customers().addNew();
        manage->customers().setValue("gsmc", "恢复后新增");
        QVERIFY(manage->customers().update());
        QVERIFY(StoreFixture::column(customers(), "gsmc").contains("恢复后新增"));
    }

    // A backup that the version before the initials from readings made: what is restored is
    // brought up to this version with its rows as they were, and the chosen file stays as it is.
    void restoreOfAnEarlierVersionUpgradesTheCopy()
    {
        const QString backup = elsewhere.filePath("旧版备份.mdb");
        QCOMPARE(store::createDatabase(backup, 1), QString());
        {
            RawDatabase raw(backup);
            QVERIFY(raw.run("INSERT INTO khb VALUES ('鑫达建材有限公司', '6222', '工行', '北京', '海淀', 'ZDJCYXGS')"));
        }
        const QByteArray chosen = contents(backup);
        QVERIFY2(restore(backup), qPrintable(prompter->lastText()));
        QCOMPARE(contents(backup), chosen);
        QCOMPARE(sqlite3(store::databasePath(), "PRAGMA user_version"), QString::number(store::kSchemaVersion));
        QCOMPARE(sqlite3(store::databasePath(),
                         "SELECT gsmc || '|' || zhh || '|' || gsmczmjc || '|' || gsmcdyjc || '|' || gsmcdyzm FROM khb"),
                 QStringLiteral("上海华东建材有限公司|31001234567890123456|SHHDJCYXGS|SHHDJCYXGS|SHHDJCYXGS\n"
                                "鑫达建材有限公司|6222|ZDJCYXGS|XDJCYXGS|XDJCYXGS"));
        QCOMPARE(StoreFixture::column(store::statements::customersInitialsContain("xdjc"), "gsmc"),
                 QStringList{"鑫达建材有限公司"});
    }
};

QTEST_MAIN(TestBackupRestore)
#include "tst_backuprestore.moc"
