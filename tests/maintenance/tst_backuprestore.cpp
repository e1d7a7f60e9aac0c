// Backup and restore windows: exact copies, refusals that leave the live file alone, and open
// windows that see the restored data.

#include "maintenance/backuprestore.h"
#include "reference/customermanage.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/database.h"
#include "storefixture.h"
#include "ui/fonts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
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
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        const bool ok = prompter->texts().contains("数据恢复完成!!");
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

    void backupOverALargerFileIsAnExactCopy()
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

        QCOMPARE(contents(target), contents(store::databasePath()));
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

        // A write of another program under way.
        prompter->clear();
        QVERIFY(writeBytes(store::databasePath() + "-journal", QByteArray(512, '\1')));
        const QString target = elsewhere.filePath("b.mdb");
        w->setDestinationChooser([target](QWidget *) { return target; });
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QVERIFY(prompter->lastText().contains("正在写入"));
        QVERIFY(!QFileInfo::exists(target));
        QFile::remove(store::databasePath() + "-journal");

        // The database file gone.
        prompter->clear();
        QVERIFY(QFile::rename(store::databasePath(), elsewhere.filePath("moved")));
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QVERIFY(prompter->lastText().contains("找不到文件"));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(QFile::rename(elsewhere.filePath("moved"), store::databasePath()));
        QCOMPARE(filesIn(elsewhere.path()), QStringList());
    }

    void restoreRefusesWhatIsNotOurDatabase_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const QByteArray live = contents(store::databasePath());
        QTest::newRow("empty file") << QByteArray() << "空文件";
        QTest::newRow("truncated database") << live.left(live.size() / 2) << "";
        QTest::newRow("text file") << QByteArray("客户名称,帐号\n甲,6222\n") << "不是本程序的数据库";
        QTest::newRow("database header only") << live.left(100) << "";
        QByteArray scrambled = live;
        for (int i = 4096; i < scrambled.size(); i += 3)
            scrambled[i] = char(0x5A);
        QTest::newRow("scrambled pages") << scrambled << "";
        QTest::newRow("another program's database") << QByteArray() << "other";
        QTest::newRow("missing file") << QByteArray() << "missing";
    }
    void restoreRefusesWhatIsNotOurDatabase()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString path = elsewhere.filePath("备份.mdb");
        if (says == "other") {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec("CREATE TABLE khb (name text, phone text)"));
            QVERIFY(q.exec("INSERT INTO khb VALUES ('x', '1')"));
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase("other");
            says = "不是本程序的数据库";
        } else if (says == "missing") {
            says = "找不到文件";
        } else {
            QVERIFY(writeBytes(path, bytes));
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
        const QByteArray liveBefore = contents(store::databasePath());

        auto *manage = new reference::CustomerManageWindow;
        manage->show();
        QCOMPARE(manage->customers().recordCount(), backedUp.size() + 1);

        prompter->clear();
        QPointer<maintenance::RestoreWindow> r = restoreWindow(backup);
        QTest::mouseClick(button(r, "Command1"), Qt::LeftButton);
        QStringList captions;
        connect(r->findChild<QProgressBar *>("ProgressBar1"), &QProgressBar::valueChanged, this,
                [&] { captions << button(r, "Command3")->text(); });
        QTest::mouseClick(button(r, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->texts(), QStringList{"数据恢复完成!!"});
        QCOMPARE(prompter->lastTitle(), QStringLiteral("蓝石票据通"));
        QVERIFY(prompter->prompts.last().centredOnScreen);
        QVERIFY(captions.contains("正在恢复..."));
        QCOMPARE(button(r, "Command3")->text(), QStringLiteral("开始恢复"));

        QCOMPARE(hashOf(store::databasePath()), hashOf(backup));
        // The live file as it was is kept beside it.
        QVERIFY(r->lastSafetyCopy().startsWith(db->dir().path()));
        QCOMPARE(contents(r->lastSafetyCopy()), liveBefore);

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
};

QTEST_MAIN(TestBackupRestore)
#include "tst_backuprestore.moc"
