// The main window as the user drives it: categories, buttons, menus, clock, help and exit.

#include "app/about.h"
#include "app/mainwindow.h"
#include "app/windows.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "storefixture.h"
#include "ui/fonts.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTest>
#include <memory>

namespace {

const QStringList kAllButtons = {"Command1",  "Command2",  "Command3",  "Command4",  "Command5",  "Command7",
                                 "Command8",  "Command9",  "Command10", "Command11", "Command12", "Command13",
                                 "Command16", "Command17", "Command18", "Command19", "Command20", "Command21"};
const QStringList kAllWindows = {"khsz1", "khsz2", "snk",    "zpdy",   "jhdhpz", "nhjsywsqs", "tydhpz", "jzddy", "jkddy",
                                 "dyjsz", "tydysz", "lsjlcx", "khxxdr", "sjbf",  "sjhf",      "ytsz1",  "ytsz2", "bssz", "pldy", "hmb"};

// A stand-in child window, for the windows this test does not look inside.
QWidget *plainWindow(QWidget *parent)
{
    auto *w = new QWidget(parent, Qt::Window);
    w->resize(200, 100);
    return w;
}

QStringList visibleButtons(const app::MainWindow &w)
{
    QStringList out;
    for (const QString &name : kAllButtons) {
        auto *b = w.findChild<QPushButton *>(name);
        if (b && b->isVisibleTo(const_cast<app::MainWindow *>(&w)))
            out << name;
    }
    out.sort();
    return out;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<app::MainWindow> window;
    std::unique_ptr<ScriptedPrompter> prompter;

    // A main window on screen, with every child window available as a stand-in.
    app::MainWindow &open(bool allWindows = true)
    {
        window = std::make_unique<app::MainWindow>();
        if (allWindows)
            for (const QString &name : kAllWindows)
                window->registerWindow(name, plainWindow);
        window->show();
        return *window;
    }

    void clickHighlightBar() { QTest::mouseClick(window->findChild<QLabel *>("Label2"), Qt::LeftButton); }
    void choose(int row)
    {
        window->hoverCategory(row);
        clickHighlightBar();
    }

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void init() { prompter = std::make_unique<ScriptedPrompter>(); }
    void cleanup()
    {
        window.reset();
        prompter.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void startsWithNoButtonAndAnEmptyClock()
    {
        app::MainWindow &w = open();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "zbd");
        QCOMPARE(w.windowTitle(), QString("蓝石竞技通"));
        QVERIFY(visibleButtons(w).isEmpty());
        QCOMPARE(w.findChild<QLabel *>("Panel1")->text(), app::MainWindow::copyrightLine());
        QVERIFY(w.findChild<QLabel *>("Panel2")->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!w.findChild<QLabel *>("Panel2")->text().isEmpty(), 1000);
        const QString shown = w.findChild<QLabel *>("Panel2")->text();
        QVERIFY2(shown.contains(QRegularExpression("^\\d{4}年\\d{1,2}月\\d{1,2}日    \\d{2}:\\d{2}:\\d{2}$")),
                 qPrintable(shown));
        // The client area is 15000 x 8895 twips below the menu bar.
        QCOMPARE(w.width(), 1000);
        QCOMPARE(w.centralWidget()->height() + w.statusBar()->height(), 593);
    }

    void clockTextIsLongDateFourBlanksTime()
    {
        QCOMPARE(app::MainWindow::clockText(QDateTime(QDate(2010, 4, 14), QTime(15, 4, 5))),
                 QString("2010年4月14日    15:04:05"));
        QCOMPARE(app::MainWindow::clockText(QDateTime(QDate(2026, 12, 9), QTime(8, 0, 0))),
                 QString("2026年12月9日    08:00:00"));
    }

    void hoverMovesTheHighlightBarOverTheRow_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < app::MainWindow::kSlots; ++row)
            QTest::addRow("%d", row) << row;
    }
    void hoverMovesTheHighlightBarOverTheRow()
    {
        QFETCH(int, row);
        app::MainWindow &w = open();
        auto *bar = w.findChild<QFrame *>("Picture1");
        QCOMPARE(bar->pos(), QPoint(24, 400)); // resting below the list
        QCOMPARE(w.findChild<QLabel *>("Label2")->text(), QString("Label2"));
        // A real pointer entering the slot's label.
        auto *slot = w.findChild<QLabel *>(QString("Label1_%1").arg(row));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(slot, &enter);
        QCOMPARE(bar->pos(), QPoint(19, qRound(app::MainWindow::slotTopTwips(row) / 15.0)));
        QCOMPARE(bar->y(), slot->y());
        QCOMPARE(w.findChild<QLabel *>("Label2")->text(), app::MainWindow::slotCaption(row));
    }

    void categoriesShowExactlyTheirButtons_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("客户设置") << "客户设置" << QStringList{"Command2", "Command3"};
        QTest::newRow("赛事选择") << "赛事选择" << QStringList{"Command9"};
        QTest::newRow("数据操作") << "数据操作" << QStringList{"Command1", "Command16", "Command17", "Command7"};
        QTest::newRow("用途设置") << "用途设置" << QStringList{"Command18", "Command19"};
        QTest::newRow("票据打印") << "票据打印"
                              << QStringList{"Command10", "Command11", "Command12", "Command13", "Command20",
                                             "Command21", "Command4", "Command5", "Command8"};
    }
    void categoriesShowExactlyTheirButtons()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, shown);
        app::MainWindow &w = open();
        // Start from another category's buttons, so hiding is checked as well as showing.
        w.dispatch(caption == "赛事选择" ? "数据操作" : "赛事选择");
        QVERIFY(!visibleButtons(w).isEmpty());
        for (int row = 0; row < app::MainWindow::kSlots; ++row)
            if (app::MainWindow::slotCaption(row) == caption)
                choose(row);
        shown.sort();
        QCOMPARE(visibleButtons(w), shown);
        QVERIFY(prompter->prompts.isEmpty());
    }

    void buttonsOfWindowsNotYetAvailableStayHidden()
    {
        app::MainWindow &w = open(false);
        w.registerWindow("lsjlcx", plainWindow);
        w.dispatch("数据操作");
        QCOMPARE(visibleButtons(w), QStringList{"Command1"});
        w.dispatch("票据打印");
        QVERIFY(visibleButtons(w).isEmpty());
        QVERIFY(!w.findChild<QAction *>("pjdyc01")->isVisible());
        w.registerWindow("zpdy", plainWindow);
        QVERIFY(w.findChild<QAction *>("pjdyc01")->isVisible());
    }

    // The voucher windows the program has are offered by their buttons and menu entries.
    void voucherCategoryOffersTheVoucherWindows()
    {
        StoreFixture db;
        QVERIFY(db.isValid());
        app::MainWindow &w = open(false);
        app::registerWindows(w);
        w.dispatch("票据打印");
        const QStringList shown = visibleButtons(w);
        for (const auto &[button, action, window] : {std::tuple{"Command10", "pjdyc01", "zpdy"},
                                                     {"Command12", "pjdyc02", "jzddy"},
                                                     {"Command4", "pjdyc06", "jkddy"},
                                                     {"Command11", "pjdyc03", "jhdhpz"},
                                                     {"Command8", "pjdyc05", "nhjsywsqs"},
                                                     {"Command13", "pjdyc04", "tydhpz"},
                                                     {"Command5", "pjdyc08", "tydysz"},
                                                     {"Command20", "pjdyc07", "dyjsz"},
                                                     {"Command21", "pjdyc09", "pldy"}}) {
            QVERIFY2(shown.contains(QLatin1String(button)), button);
            QVERIFY2(w.findChild<QAction *>(QLatin1String(action))->isVisible(), action);
            QTest::mouseClick(w.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
            QWidget *opened = w.loadedWindow(QLatin1String(window));
            QVERIFY2(opened && opened->isVisible(), window);
            opened->close();
            w.dispatch("票据打印");
        }
    }

    void clickBeforeAnyHoverDoesNothing()
    {
        app::MainWindow &w = open();
        w.dispatch("赛事选择");
        clickHighlightBar();
        QCOMPARE(visibleButtons(w), QStringList{"Command9"});
        QVERIFY(prompter->prompts.isEmpty());
        QVERIFY(w.isVisible());
    }

    void captionsMatchExactlyWithTheirBlanks()
    {
        app::MainWindow &w = open();
        w.dispatch("赛事选择");
        for (const char *wrong : {"帮 助", "帮助", "关 于", "数据操作 ", "label2"})
            w.dispatch(QString::fromUtf8(wrong));
        QCOMPARE(visibleButtons(w), QStringList{"Command9"});
        QVERIFY(!w.findChild<QDialog *>("help"));

        const TempAppDir data;
        w.dispatch("帮    助");
        auto *help = w.findChild<QDialog *>("help");
        QVERIFY(help && help->isVisible());
        QVERIFY(visibleButtons(w).isEmpty());
        // The help names the version and the data folder in use.
        const QString text = help->findChild<QTextBrowser *>("helpText")->toPlainText();
        QVERIFY2(text.contains("版本 " LANSHI_VERSION "，数据文件夹：" + data.path()), qPrintable(text.left(300)));
        QVERIFY(text.contains("本程序正在使用的数据文件夹是 " + data.path()));
        QVERIFY(!text.contains("@"));
    }

    void homePageKeepsTheButtonsOnDisplay()
    {
        app::MainWindow &w = open();
        QList<QUrl> opened;
        w.setUrlOpener([&](const QUrl &u) { opened << u; return true; });
        w.dispatch("数据操作");
        const QStringList before = visibleButtons(w);
        choose(7);
        QCOMPARE(opened, QList<QUrl>{app::MainWindow::homePage()});
        QCOMPARE(visibleButtons(w), before);
    }

    void aboutOpensModallyStaysLoadedAndHidesTheButtons()
    {
        const TempAppDir data;
        app::MainWindow &w = open(false);
        app::registerWindows(w);
        w.registerWindow("snk", plainWindow);
        w.dispatch("赛事选择");
        w.dispatch("关    于");
        auto *box = qobject_cast<app::AboutBox *>(w.loadedWindow("about"));
        QVERIFY(box && box->isVisible());
        saveScreenshot(box, "about");
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QCOMPARE(box->windowTitle(), QString("关于蓝石竞技通"));
        QCOMPARE(box->findChild<QLabel *>("lblVersion")->text(), QString("版本 " LANSHI_VERSION));
        // The data folder, as a link that opens it.
        const QString shown = box->findChild<QLabel *>("lblDataDir")->text();
        QVERIFY2(shown.startsWith("数据文件夹：") && shown.contains(">" + data.path() + "<")
                     && shown.contains("href=\"" + QUrl::fromLocalFile(data.path()).toString() + "\""),
                 qPrintable(shown));
        QVERIFY(box->findChild<QLabel *>("Label1")->text().startsWith("技术支持："));
        QVERIFY(box->findChild<QLabel *>("Label2")->text().startsWith("网站："));
        QCOMPARE(box->findChild<QLabel *>("lblDescription")->text(), QString("蓝石软件"));
        // The buttons stay until the box returns.
        QCOMPARE(visibleButtons(w), QStringList{"Command9"});
        QTest::mouseClick(box->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        QVERIFY(!box->isVisible());
        QVERIFY(visibleButtons(w).isEmpty());
        // The menu entry shows the same, still loaded box.
        w.findChild<QAction *>("xtbzc2")->trigger();
        QCOMPARE(w.loadedWindow("about"), box);
        QVERIFY(box->isVisible());
    }

    void buttonsAndMenuEntriesOpenTheirWindows()
    {
        app::MainWindow &w = open();
        w.dispatch("赛事选择");
        QTest::mouseClick(w.findChild<QPushButton *>("Command9"), Qt::LeftButton);
        QWidget *board = w.loadedWindow("snk");
        QVERIFY(board && board->isVisible());
        QCOMPARE(board->windowModality(), Qt::ApplicationModal);
        board->close();
        w.findChild<QAction *>("mqtxc01")->trigger();
        QVERIFY(w.loadedWindow("snk")->isVisible());
        w.loadedWindow("snk")->close();
        w.findChild<QAction *>("pjdyc01")->trigger();
        QVERIFY(w.loadedWindow("zpdy")->isVisible());
    }

    void ownCompanyHidesTheButtonsWhenItReturns()
    {
        app::MainWindow &w = open();
        w.dispatch("客户设置");
        w.dispatch("本司设置");
        QWidget *company = w.loadedWindow("bssz");
        QVERIFY(company && company->isVisible());
        QCOMPARE(visibleButtons(w).size(), 2);
        company->hide();
        QVERIFY(visibleButtons(w).isEmpty());
    }

    void f1OpensHelpFromAnyWindow()
    {
        app::MainWindow &w = open();
        QWidget *child = w.openWindow("khsz1");
        QTest::keyClick(child, Qt::Key_F1);
        auto *help = w.findChild<QDialog *>("help");
        QVERIFY(help && help->isVisible());
        // Above a modal child the help is modal too, so it can be used.
        QCOMPARE(help->windowModality(), Qt::ApplicationModal);
        saveScreenshot(help, "help");
    }

    void exitAsksOnEveryPath_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<bool>("yes");
        const char *names[] = {"category", "menu", "closebox"};
        for (int path = 0; path < 3; ++path) {
            QTest::addRow("%s-no", names[path]) << path << false;
            QTest::addRow("%s-yes", names[path]) << path << true;
        }
    }
    void exitAsksOnEveryPath()
    {
        QFETCH(int, path);
        QFETCH(bool, yes);
        app::MainWindow &w = open();
        QSignalSpy exits(&w, &app::MainWindow::exitConfirmed);
        w.dispatch("数据操作");
        QWidget *about = w.openWindow("khsz2");
        about->hide();
        prompter->answer(yes ? ui::Yes : ui::No);
        if (path == 0)
            choose(9);
        else if (path == 1)
            w.findChild<QAction *>("tcxt00")->trigger();
        else
            w.close();
        QCOMPARE(prompter->prompts.size(), 1);
        const ui::Prompt &asked = prompter->prompts.first();
        QCOMPARE(asked.text, QString("是否退出〖蓝石竞技通〗？"));
        QCOMPARE(asked.title, QString("蓝石竞技通"));
        QCOMPARE(asked.buttons, ui::Buttons(ui::Yes | ui::No));
        QCOMPARE(asked.icon, ui::Icon::Question);
        QCOMPARE(w.isVisible(), !yes);
        QCOMPARE(exits.size(), yes ? 1 : 0);
        if (!yes)
            QCOMPARE(visibleButtons(w).size(), 4);
    }

    void exitWithChildWindowsOpenClosesThemAll()
    {
        app::MainWindow &w = open();
        QPointer<QWidget> child = w.openWindow("zpdy");
        QPointer<QWidget> hidden = w.openWindow("khsz1");
        hidden->hide();
        prompter->answer(ui::Yes);
        w.close();
        QVERIFY(!child->isVisible());
        window.reset();
        QVERIFY(child.isNull());
        QVERIFY(hidden.isNull());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
