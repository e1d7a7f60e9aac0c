// Several 账套: each prints with its own company into its own history, the machine's calibration
// moves the print of every 账套, switching asks about unprinted entries, and a 账套 that is gone
// or damaged is told while the others stay usable. The program runs as a child where the command
// line is tested; the histories are read with sqlite3, the positions with pdftotext.

#include "../printing/pdftools.h"
#include "app/companydesk.h"
#include "app/mainwindow.h"
#include "app/windows.h"
#include "history/historywindow.h"
#include "screenshot.h"
#include "scriptedprompter.h"
#include "store/appdir.h"
#include "store/companies.h"
#include "store/companyfiles.h"
#include "store/companyhistory.h"
#include "store/datadir.h"
#include "ui/fonts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Run {
    int status = -1;
    QString out, err;
};

QString sqlite(const QString &database, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {database, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString writeFile(const QString &path, const QByteArray &body)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(body);
    return path;
}

} // namespace

class TestCompanies : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    QString machine, folderA, folderB;
    const QString nameA = QStringLiteral("上海鑫达建材有限公司");
    const QString nameB = QStringLiteral("南京东方商贸有限公司");

    Run lanshi(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANSHI_MACHINE_DIR"), machine);
        env.remove(QStringLiteral("LANSHI_DATA_DIR"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LANSHI_BINARY), args);
        Run r;
        if (!p.waitForFinished(120000))
            return r;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString db(const QString &folder) const { return QDir(folder).filePath(QStringLiteral("sjk.mdb")); }

private slots:
    void initTestCase() { ui::installChineseFonts(); }

    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        machine = tmp->filePath(QStringLiteral("machine"));
        folderA = tmp->filePath(QStringLiteral("甲"));
        folderB = tmp->filePath(QStringLiteral("乙"));
        store::setMachineDir(machine);
        QCOMPARE(store::createCompanyDatabase(folderA, {nameA, QStringLiteral("工行上海分行"), QStringLiteral("1001"), {}, {}}),
                 QString());
        QCOMPARE(store::createCompanyDatabase(folderB, {nameB, QStringLiteral("建行南京分行"), QStringLiteral("2002"), {}, {}},
                                              folderA),
                 QString());
        QString error;
        QVERIFY2(store::addCompany({QStringLiteral("甲"), folderA, true, {}}, &error), qPrintable(error));
        QVERIFY2(store::addCompany({QStringLiteral("乙"), folderB, true, {}}, &error), qPrintable(error));
    }
    void cleanup()
    {
        store::setMachineDir(QString());
        store::setAppDir(QString());
        store::setCalibrationDir(QString());
        tmp.reset();
    }

    // 新建账套's database: its own company only, the other's customers and purposes copied in.
    void aNewCompanyHoldsItsOwnCompanyAndTheCopiedCustomers()
    {
        QCOMPARE(sqlite(db(folderB), "select gsmc||'|'||khh||'|'||zhh from bssz"), nameB + QStringLiteral("|建行南京分行|2002"));
        QCOMPARE(sqlite(db(folderB), "select count(*) from khb"), sqlite(db(folderA), "select count(*) from khb"));
        QCOMPARE(sqlite(db(folderB), "select group_concat(yt) from ytb"), sqlite(db(folderA), "select group_concat(yt) from ytb"));
        QString error;
        QVERIFY(!store::addCompany({QStringLiteral("甲"), tmp->filePath("丙"), true, {}}, &error));
        QVERIFY2(error.contains(QStringLiteral("已有名为“甲”")), qPrintable(error));
        QVERIFY(!store::addCompany({QStringLiteral("丙"), folderA, true, {}}, &error));
        QVERIFY2(error.contains(QStringLiteral("已是账套“甲”")), qPrintable(error));

        // Rename and remove keep the rest of the list; the last used comes first.
        QVERIFY(!store::renameCompany(QStringLiteral("甲"), QStringLiteral("乙"), &error));
        QVERIFY(store::renameCompany(QStringLiteral("甲"), QStringLiteral("  甲方 "), &error));
        QVERIFY(store::touchCompany(QStringLiteral("甲方")));
        QStringList names;
        for (const store::Company &c : store::companies())
            names << c.name;
        QCOMPARE(names, (QStringList{QStringLiteral("甲方"), QStringLiteral("乙")}));
        QVERIFY(store::removeCompany(QStringLiteral("乙"), &error));
        QVERIFY(QFile::exists(db(folderB))); // the data stays
        QVERIFY(!store::removeCompany(QStringLiteral("乙"), &error));
        QCOMPARE(store::companies().size(), 1);

        // A damaged list reads as empty with the reason, and no change overwrites it.
        const QString file = QDir(machine).filePath(QStringLiteral("companies.json"));
        writeFile(file, "{\"companies\": [");
        QString readError;
        QVERIFY(store::companies(&readError).isEmpty());
        QVERIFY2(readError.contains(QStringLiteral("已损坏")), qPrintable(readError));
        QVERIFY(!store::addCompany({QStringLiteral("丙"), tmp->filePath("丙"), true, {}}, &error));
        // At start it is told, and the program works on the data folder given.
        {
            ScriptedPrompter prompter;
            app::CompanyDesk desk;
            QVERIFY(desk.openAtStart({folderA, QString()}, {}, &error));
            QVERIFY(desk.enter());
            QVERIFY2(prompter.texts().join('\n').contains(QStringLiteral("账套列表")), qPrintable(prompter.texts().join('\n')));
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("{\"companies\": ["));
    }

    // --company prints into that 账套's history with its own company as the payer; the calibration
    // saved once (the machine's) moves the print of the other.
    void eachCompanyPrintsItsOwnPayerAndTheCalibrationIsShared()
    {
        if (!pdftools::available())
            QSKIP("pdftotext is not installed");
        const Run listed = lanshi({QStringLiteral("companies")});
        QCOMPARE(listed.status, 0);
        QVERIFY2(listed.out.contains(QStringLiteral("甲\t")) && listed.out.contains(QStringLiteral("乙\t")), qPrintable(listed.out));

        const QString list = writeFile(tmp->filePath(QStringLiteral("电汇.csv")),
                                       "收款人,金额,日期,用途,凭证号\n上海华东建材有限公司,100,2010-04-14,货款,7\n");
        const QString pdfA = tmp->filePath(QStringLiteral("a.pdf"));
        Run r = lanshi({"--company", "甲", "print", "jhdhpz", "--data", list, "--pdf", pdfA});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(sqlite(db(folderA), "select fkrmc||'|'||skrmc||'|'||pzhm from dyb"),
                 nameA + QStringLiteral("|上海华东建材有限公司|7"));
        QCOMPARE(sqlite(db(folderB), "select count(*) from dyb"), QStringLiteral("0"));

        // 1 cm to the right, saved in the machine's calibration (as 打印机调节 in either 账套 does).
        const QString calibration = QDir(store::machineCalibrationDir()).filePath(QStringLiteral("jz.mdb"));
        QVERIFY(QFile::exists(calibration));
        sqlite(calibration, "update dytj set djpzup = '567'");
        const QString pdfB = tmp->filePath(QStringLiteral("b.pdf"));
        r = lanshi({"--company=乙", "print", "jhdhpz", "--data", list, "--pdf", pdfB});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(sqlite(db(folderB), "select fkrmc from dyb"), nameB);
        QCOMPARE(sqlite(db(folderA), "select count(*) from dyb"), QStringLiteral("1"));

        const QList<pdftools::Word> a = pdftools::words(pdfA), b = pdftools::words(pdfB);
        const pdftools::Word *payeeA = pdftools::find(a, QStringLiteral("上海华东建材有限公司"));
        const pdftools::Word *payeeB = pdftools::find(b, QStringLiteral("上海华东建材有限公司"));
        QVERIFY(payeeA && payeeB);
        QVERIFY2(qAbs(payeeB->box.left() - payeeA->box.left() - 567.0 / 20.0) < 0.5,
                 qPrintable(QStringLiteral("%1 -> %2").arg(payeeA->box.left()).arg(payeeB->box.left())));
        QVERIFY(qAbs(payeeB->box.top() - payeeA->box.top()) < 0.5);

        // A name the list does not hold prints nothing.
        r = lanshi({"--company", "丁", "print", "jhdhpz", "--data", list, "--pdf", tmp->filePath("c.pdf")});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(QStringLiteral("没有名为“丁”的账套")), qPrintable(r.err));
    }

    // 全部账套 in 打印查询: the search of every 账套's history, each row with its 账套; what sqlite3
    // finds in each file, and a 账套 that cannot be read is named while the others are read.
    void theHistorySearchAcrossAllCompanies()
    {
        const char *rows[][4] = {{"甲", "上海华东建材有限公司", "100.00", "2010-04-14"},
                                 {"甲", "北京远大", "5", "2010-04-15"},
                                 {"乙", "上海华东建材有限公司", "7.5", "2010-04-20"},
                                 {"乙", "上海华东建材有限公司", "9", "2011-01-01"}};
        for (const auto &r : rows)
            sqlite(db(QString::fromUtf8(r[0]) == QStringLiteral("甲") ? folderA : folderB),
                   QStringLiteral("insert into dyb (dyrq, fkrq, pzlx, pzhm, fkje, skrmc) values ('%1', '%1', '支票', '1', '%2', '%3')")
                       .arg(QString::fromUtf8(r[3]), QString::fromUtf8(r[2]), QString::fromUtf8(r[1])));
        store::statements::HistoryFilter filter;
        filter.payee = QStringLiteral("上海");
        filter.from = QDate(2010, 1, 1);
        filter.to = QDate(2010, 12, 31);
        const store::CompanyHistory found = store::searchAllCompanies(store::statements::historySearch(filter));
        QVERIFY2(found.problems.isEmpty(), qPrintable(found.problems.join('\n')));
        QStringList got;
        const int amount = int(found.columns.indexOf(QStringLiteral("fkje")));
        for (const store::CompanyHistoryRow &r : found.rows)
            got << r.company + QLatin1Char('|') + r.values.value(amount).toString();
        const QString where = QStringLiteral("where skrmc like '%上海%' and fkrq between '2010-01-01' and '2010-12-31' order by xh");
        QStringList expected;
        for (const auto &[name, folder] : {std::pair{QStringLiteral("甲"), folderA}, std::pair{QStringLiteral("乙"), folderB}}) {
            const QString out = sqlite(db(folder), QStringLiteral("select fkje from dyb ") + where);
            for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                expected << name + QLatin1Char('|') + line;
        }
        QCOMPARE(got, expected);
        QCOMPARE(got, (QStringList{QStringLiteral("甲|100.00"), QStringLiteral("乙|7.5")}));

        // A damaged 账套 is named; the others are still found.
        writeFile(db(folderB), QByteArray(4096, 'x'));
        const store::CompanyHistory partly = store::searchAllCompanies(store::statements::historySearch(filter));
        QCOMPARE(partly.rows.size(), 1);
        QCOMPARE(partly.problems.size(), 1);
        QVERIFY2(partly.problems.first().contains(QStringLiteral("账套“乙”")), qPrintable(partly.problems.first()));
    }

    // A 账套 whose folder is gone is told at start, and another may be opened instead; a damaged
    // one is told on switching, and the one open stays as it was.
    void aMissingOrDamagedCompanyIsToldAndTheOthersStayUsable()
    {
        QVERIFY(store::touchCompany(QStringLiteral("乙"))); // the last used
        QVERIFY(QDir(folderB).removeRecursively());
        ScriptedPrompter prompter;
        app::CompanyDesk desk;
        QString told, error;
        QVERIFY(desk.openAtStart({}, [&](const QString &problem) {
            told = problem;
            return store::findCompany(QStringLiteral("甲"));
        }, &error));
        QVERIFY2(told.contains(QStringLiteral("账套“乙”的文件夹")) && told.contains(QStringLiteral("不存在")), qPrintable(told));
        QCOMPARE(desk.folder(), QDir::cleanPath(folderA));
        QCOMPARE(store::appDir(), QDir::cleanPath(folderA));
        QVERIFY(desk.enter());
        QCOMPARE(store::calibrationDir(), store::machineCalibrationDir());

        const QString folderC = tmp->filePath(QStringLiteral("丙"));
        QVERIFY(QDir().mkpath(folderC));
        writeFile(db(folderC), QByteArray(8192, 'x'));
        QVERIFY(store::addCompany({QStringLiteral("丙"), folderC, true, {}}, &error));
        QVERIFY(!desk.switchTo(*store::findCompany(QStringLiteral("丙"))));
        QVERIFY2(prompter.lastText().contains(QStringLiteral("无法打开账套“丙”")), qPrintable(prompter.lastText()));
        QCOMPARE(store::appDir(), QDir::cleanPath(folderA));
        QCOMPARE(desk.name(), QStringLiteral("甲"));
        // The lock of the damaged one is not kept: it can be mended and opened later.
        QVERIFY(!QFile::exists(QDir(folderC).filePath(store::DataDir::lockFileName())));
    }

    // Another 账套 closes the windows of this one: where a voucher holds an amount not printed, the
    // clerk is asked, and 否 keeps the window, its entries and the 账套.
    void switchingAsksWhenEntriesAreUnprinted()
    {
        ScriptedPrompter prompter;
        app::CompanyDesk desk;
        QString error;
        QVERIFY(desk.openAtStart({QString(), QStringLiteral("甲")}, {}, &error));
        app::MainWindow main;
        desk.setMainWindow(&main);
        app::registerWindows(main, &desk);
        QVERIFY(desk.enter());
        QCOMPARE(main.windowTitle(), QStringLiteral("蓝石竞技通 — 甲"));
        QWidget *deposit = main.openWindow(QStringLiteral("jzddy"));
        QVERIFY(deposit);
        QVERIFY(deposit->windowTitle().endsWith(QStringLiteral(" — 甲")));
        auto *amount = deposit->findChild<QLineEdit *>(QStringLiteral("Text8"));
        QVERIFY(amount);
        amount->setText(QStringLiteral("1234.50"));
        deposit->hide(); // 退出 keeps the entries

        prompter.answer(ui::No);
        QVERIFY(!desk.switchTo(*store::findCompany(QStringLiteral("乙"))));
        QVERIFY2(prompter.lastText().contains(QStringLiteral("尚未打印")), qPrintable(prompter.lastText()));
        QCOMPARE(main.loadedWindow(QStringLiteral("jzddy")), deposit);
        QCOMPARE(store::appDir(), QDir::cleanPath(folderA));

        prompter.answer(ui::Yes);
        QVERIFY(desk.switchTo(*store::findCompany(QStringLiteral("乙"))));
        QVERIFY(!main.loadedWindow(QStringLiteral("jzddy")));
        QCOMPARE(store::appDir(), QDir::cleanPath(folderB));
        QCOMPARE(main.windowTitle(), QStringLiteral("蓝石竞技通 — 乙"));
        // The 账套 menu's windows and 打印查询's 全部账套, as the clerk sees them.
        for (const char *name : {"ztdk", "ztxj", "ztgl"}) {
            QWidget *w = main.openWindow(QString::fromLatin1(name));
            QVERIFY(w);
            QVERIFY2(w->windowTitle().endsWith(QStringLiteral(" — 乙")), qPrintable(w->windowTitle()));
            saveScreenshot(w, QString::fromLatin1(name));
            w->close();
        }
        auto *history = qobject_cast<history::HistoryWindow *>(main.openWindow(QStringLiteral("lsjlcx")));
        QVERIFY(history);
        QVERIFY(history->allCompaniesBox()->isVisible());
        history->allCompaniesBox()->setChecked(true);
        history->findChild<QCheckBox *>(QStringLiteral("chkAnyDate"))->setChecked(true);
        QTest::mouseClick(history->findChild<QPushButton *>(QStringLiteral("Command3")), Qt::LeftButton);
        QTRY_VERIFY(history->allCompaniesWindow() && history->allCompaniesWindow()->isVisible());
        saveScreenshot(history->allCompaniesWindow(), QStringLiteral("lsjlqb"));
        history->allCompaniesWindow()->close();
        saveScreenshot(&main, QStringLiteral("zbd-companies"));
        QVERIFY(main.closeWindowsOfCompany());

        // The first one's lock went with it: another program window may open it now.
        QString lockError;
        auto again = store::openCompany(*store::findCompany(QStringLiteral("甲")), &lockError);
        QVERIFY2(again, qPrintable(lockError));
        again.reset();
        store::setAppDir(folderB);
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
