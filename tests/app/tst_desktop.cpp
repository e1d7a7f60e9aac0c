// The program as a desktop program on a 1024x768 screen with window frames (the test's
// offscreen screen, tests/data/screen-1024x768.json): every window reached from the menu bar by
// access keys alone and left by Escape, every child window centred over the window that opened
// it and inside the screen, the category list at the keyboard, F1 at the window's section of the
// help, and "网上蓝石" without a browser.

#include "app/helpwindow.h"
#include "app/companydesk.h"
#include "app/mainwindow.h"
#include "app/windows.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "storefixture.h"
#include "store/statements.h"
#include "ui/fonts.h"
#include "ui/windowhabits.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QCalendarWidget>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// How a window is left by its exit button, as the windows' own descriptions say.
enum class Leaves { Hidden, Unloaded, Either };

struct MenuEntry {
    Qt::Key menu, entry;
    const char *window; // its form name; "help" for the help
    Leaves leaves;
};

// Every entry of the menu bar with the access keys that reach it.
const MenuEntry kEntries[] = {
    {Qt::Key_G, Qt::Key_S, "snk", Leaves::Unloaded},
    {Qt::Key_P, Qt::Key_C, "zpdy", Leaves::Unloaded},
    {Qt::Key_P, Qt::Key_D, "jzddy", Leaves::Either},
    {Qt::Key_P, Qt::Key_J, "jhdhpz", Leaves::Either},
    {Qt::Key_P, Qt::Key_W, "tydhpz", Leaves::Either},
    {Qt::Key_P, Qt::Key_N, "nhjsywsqs", Leaves::Either},
    {Qt::Key_P, Qt::Key_K, "jkddy", Leaves::Either},
    {Qt::Key_P, Qt::Key_A, "dyjsz", Leaves::Either},
    {Qt::Key_P, Qt::Key_G, "tydysz", Leaves::Either},
    {Qt::Key_P, Qt::Key_B, "pldy", Leaves::Either},
    {Qt::Key_P, Qt::Key_H, "hmb", Leaves::Unloaded},
    {Qt::Key_B, Qt::Key_C, "bssz", Leaves::Either},
    {Qt::Key_B, Qt::Key_A, "khsz1", Leaves::Unloaded},
    {Qt::Key_B, Qt::Key_M, "khsz2", Leaves::Hidden},
    {Qt::Key_B, Qt::Key_P, "ytsz1", Leaves::Either},
    {Qt::Key_B, Qt::Key_U, "ytsz2", Leaves::Either},
    {Qt::Key_D, Qt::Key_Q, "lsjlcx", Leaves::Hidden},
    {Qt::Key_D, Qt::Key_I, "khxxdr", Leaves::Unloaded},
    {Qt::Key_D, Qt::Key_B, "sjbf", Leaves::Either},
    {Qt::Key_D, Qt::Key_R, "sjhf", Leaves::Either},
    {Qt::Key_Z, Qt::Key_N, "ztxj", Leaves::Unloaded},
    {Qt::Key_Z, Qt::Key_O, "ztdk", Leaves::Unloaded},
    {Qt::Key_Z, Qt::Key_M, "ztgl", Leaves::Unloaded},
    {Qt::Key_H, Qt::Key_H, "help", Leaves::Hidden},
    {Qt::Key_H, Qt::Key_A, "about", Leaves::Hidden},
};

// Closes a window as its title bar does; one that unloads itself is gone on return, so that the
// next opening makes a new one.
void closeAndUnload(QWidget *window)
{
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A window that asks for a file as it opens gets none.
void rejectFileDialogs(QTimer &timer)
{
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            d->reject();
    });
    timer.start(20);
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// "" when window lies centred over opener (to a pixel, or pushed into the screen) and inside it.
QString placementProblem(const QWidget *window, const QWidget *opener)
{
    const QRect screen = opener->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    QString problem;
    if (!screen.contains(frame))
        problem += QStringLiteral(" outside the screen (%1)").arg(describe(frame));
    const QRect wanted = ui::placeOver(frame, opener->frameGeometry(), screen);
    if ((frame.center() - wanted.center()).manhattanLength() > 2)
        problem += QStringLiteral(" at %1, centred over %2 would be %3")
                       .arg(describe(frame), describe(opener->frameGeometry()), describe(wanted));
    if (window->parentWidget() == nullptr || window->parentWidget()->window() != opener)
        problem += QStringLiteral(" not a child of its opener");
    else if (window->windowHandle() && window->windowHandle()->transientParent() != opener->windowHandle())
        problem += QStringLiteral(" not kept above its opener");
    return problem;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<app::MainWindow> main;
    app::CompanyDesk desk;
    QTimer noFiles;

    // The main window with every window of the program, active in the middle of the screen
    // (where a window manager puts it); false when it does not become active.
    bool openMain()
    {
        main = std::make_unique<app::MainWindow>();
        app::registerWindows(*main, &desk);
        main->show();
        main->move(main->screen()->availableGeometry().center() - main->frameGeometry().center() + main->pos());
        return QTest::qWaitForWindowActive(main.get());
    }

    QWidget *windowNamed(const QString &name)
    {
        return name == QLatin1String("help") ? main->findChild<QDialog *>(QStringLiteral("help"))
                                             : main->loadedWindow(name);
    }

private slots:
    void initTestCase()
    {
        ui::installChineseFonts();
        rejectFileDialogs(noFiles);
    }
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        main.reset();
        prompter.reset();
        db.reset();
        QTRY_COMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void theScreenIs1024By768()
    {
        QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->geometry().size(), QSize(1024, 768));
    }

    // Each top-level menu and each of its entries has an access key of its own.
    void everyMenuAndEntryHasItsOwnAccessKey()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        saveScreenshot(&w, "zbd");
        QStringList wrong;
        const auto keyOf = [](const QString &text) {
            const int at = text.indexOf(QLatin1Char('&'));
            return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
        };
        const auto checkAll = [&](const QList<QAction *> &actions, const QString &where) {
            QSet<QChar> keys;
            for (QAction *a : actions) {
                if (a->isSeparator() || !a->isVisible())
                    continue;
                const QChar key = keyOf(a->text());
                if (key.isNull() || keys.contains(key))
                    wrong << where + QLatin1Char('/') + a->text();
                keys.insert(key);
            }
        };
        checkAll(w.menuBar()->actions(), QStringLiteral("menu bar"));
        int entries = 0;
        for (QAction *top : w.menuBar()->actions())
            if (top->menu()) {
                checkAll(top->menu()->actions(), top->text());
                entries += int(top->menu()->actions().size());
            }
        QVERIFY(entries >= 20);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
        // The menus, opened one by one, for the record.
        for (QAction *top : w.menuBar()->actions())
            if (top->menu()) {
                w.menuBar()->setActiveAction(top);
                QTRY_VERIFY(top->menu()->isVisible());
                saveScreenshot(top->menu(), QStringLiteral("menu_") + top->menu()->objectName());
                top->menu()->hide();
            }
    }

    // The whole program at the keyboard: Alt and a letter opens a menu, a letter picks its entry,
    // the window opens; Escape, wherever its focus is, leaves it as its exit button does.
    void everyWindowByAccessKeysAndBackByEscape()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        QStringList wrong;
        for (const MenuEntry &e : kEntries) {
            const QString name = QString::fromLatin1(e.window);
            if (name == QLatin1String("khxxdr"))
                prompter->answer(ui::No); // khb.xls is missing: no other file
            QTest::keyClick(&w, e.menu, Qt::AltModifier);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu) {
                wrong << name + QStringLiteral(": no menu");
                continue;
            }
            QTest::keyClick(menu, e.entry);
            QPointer<QWidget> opened = windowNamed(name);
            if (!opened || !QTest::qWaitForWindowExposed(opened)) {
                wrong << name + QStringLiteral(": not opened");
                if (QApplication::activePopupWidget())
                    QApplication::activePopupWidget()->close();
                continue;
            }
            QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
            QTRY_VERIFY(QApplication::activeWindow() == opened);
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus && focus->window() == opened ? focus : opened.data(), Qt::Key_Escape);
            const bool gone = QTest::qWaitFor([&] { return opened.isNull() || !opened->isVisible(); }, 2000);
            if (!gone)
                wrong << name + QStringLiteral(": Escape left it open (focus on %1)")
                                    .arg(focus ? focus->objectName() : QStringLiteral("nothing"));
            else if (e.leaves == Leaves::Hidden && opened.isNull())
                wrong << name + QStringLiteral(": unloaded, its exit hides it");
            else if (e.leaves == Leaves::Unloaded && !QTest::qWaitFor([&] { return opened.isNull(); }, 2000))
                wrong << name + QStringLiteral(": hidden, its exit unloads it");
            // A window manager hands the activation back to the main window; offscreen, the test does.
            w.activateWindow();
            QTRY_VERIFY(QApplication::activeWindow() == &w);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
        QVERIFY2(prompter->texts().size() == 1, qPrintable(prompter->texts().join(QLatin1Char('\n'))));

        // The main window's own exit: Alt+X, and Escape, ask first.
        prompter->clear();
        prompter->answer(ui::No);
        QTest::keyClick(&w, Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(prompter->texts(), QStringList{"是否退出〖蓝石竞技通〗？"});
        prompter->answer(ui::No);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Escape);
        QCOMPARE(prompter->texts().size(), 2);
        QVERIFY(w.isVisible());
    }

    // In a management window that is being edited, Escape cancels the edit first, as 取消 does
    // while 退出 is locked; a second Escape leaves.
    void escapeWhileEditingCancelsFirst()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        QWidget *manage = w.openWindow(QStringLiteral("khsz2"));
        QVERIFY(QTest::qWaitForWindowActive(manage));
        QTest::mouseClick(manage->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton); // 修改
        auto *name = manage->findChild<QLineEdit *>(QStringLiteral("Text1"));
        QVERIFY(name->isEnabled());
        const QString before = name->text();
        name->setText(QStringLiteral("改了一半"));
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(manage->isVisible());
        QVERIFY(!name->isEnabled());
        QCOMPARE(name->text(), before);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!manage->isVisible());
    }

    // Escape reaches the window from whatever control has the focus: fields, date pickers, an
    // editable list, a grid.
    void escapeFromEveryKindOfControl()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        QStringList wrong;
        for (const char *control : {"Text13", "DTPicker1", "cboType", "DataGrid1", "chkAnyDate", "Command3"}) {
            QWidget *history = w.openWindow(QStringLiteral("lsjlcx"));
            QVERIFY(QTest::qWaitForWindowActive(history));
            auto *target = history->findChild<QWidget *>(QString::fromLatin1(control));
            target->setFocus();
            QTRY_VERIFY(QApplication::focusWidget() == target || target->isAncestorOf(QApplication::focusWidget()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // an editable list's: its line edit
            if (history->isVisible())
                wrong << QString::fromLatin1(control);
            history->hide();
            w.activateWindow();
            QTRY_VERIFY(QApplication::activeWindow() == &w);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
    }

    // Every child window opens centred over the window that opened it, frames included, inside
    // the screen, a child of that window and kept above it; also when it opens a second time and
    // its opener has moved.
    void everyChildWindowIsCentredOverItsOpener()
    {
        QVERIFY(StoreFixture::append(store::statements::customers(),
                                     {"上海鑫达建材有限公司", "6222", "工行", "上海", "浦东", "SHXDJCYXGS"}));
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        QStringList wrong;
        const QStringList windows = {"about", "snk",  "bssz", "khsz1",  "khsz2", "ytsz1", "ytsz2",     "zpdy",  "jzddy",
                                     "jkddy", "jhdhpz", "nhjsywsqs", "tydhpz", "tydysz", "lsjlcx", "khxxdr", "sjbf",
                                     "sjhf",  "dyjsz", "pldy", "hmb"};
        for (int round = 0; round < 2; ++round) {
            for (const QString &name : windows) {
                if (name == QLatin1String("khxxdr"))
                    prompter->answer(ui::No);
                QPointer<QWidget> child = w.openWindow(name);
                QVERIFY2(child && QTest::qWaitForWindowExposed(child), qPrintable(name));
                if (const QString problem = placementProblem(child, &w); !problem.isEmpty())
                    wrong << name + QStringLiteral(" (opening %1):").arg(round + 1) + problem;
                closeAndUnload(child);
            }
            w.move(w.pos() + QPoint(-12, -40)); // the clerk moved the main window
        }

        // The pickers, over the window that opens them.
        const struct {
            const char *window, *button, *picker;
        } pickers[] = {{"zpdy", "Command2", "xzgsmc"}, {"zpdy", "Command3", "xzyt"}, {"lsjlcx", "Command5", "lsjlxz"}};
        for (const auto &p : pickers) {
            QPointer<QWidget> opener = w.openWindow(QString::fromLatin1(p.window));
            QVERIFY2(opener && QTest::qWaitForWindowExposed(opener), p.window);
            opener->move(opener->pos() + QPoint(30, 20)); // not where the main window is
            QTest::mouseClick(opener->findChild<QPushButton *>(QString::fromLatin1(p.button)), Qt::LeftButton);
            QWidget *picker = nullptr;
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->objectName() == QLatin1String(p.picker))
                    picker = top;
            QVERIFY2(picker && QTest::qWaitForWindowExposed(picker), p.picker);
            if (const QString problem = placementProblem(picker, opener); !problem.isEmpty())
                wrong << QString::fromLatin1(p.picker) + problem;
            closeAndUnload(picker);
            closeAndUnload(opener);
        }

        // The help, over the window F1 was pressed in.
        QWidget *history = w.openWindow(QStringLiteral("lsjlcx"));
        QVERIFY(QTest::qWaitForWindowActive(history));
        QTest::keyClick(history->focusWidget(), Qt::Key_F1);
        auto *help = w.findChild<QDialog *>(QStringLiteral("help"));
        QVERIFY(help && QTest::qWaitForWindowExposed(help));
        if (const QString problem = placementProblem(help, history); !problem.isEmpty())
            wrong << QStringLiteral("help") + problem;
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // 套打预览 opens where the clerk sees it and the calibration boxes it redraws from at once:
    // on the 1024x768 screen it covers no offset box of the voucher (wherever the voucher stood,
    // on whichever page), and both windows stay inside the screen.
    void theFormPreviewLeavesTheCalibrationBoxesInSight()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        const QRect screen = w.screen()->availableGeometry();
        // Every box of each voucher's settings page, its last.
        const char *const vouchers[] = {"zpdy", "jzddy", "jkddy", "tydhpz", "jhdhpz", "nhjsywsqs"};
        QStringList wrong;
        for (const char *name : vouchers) {
            for (const Qt::Corner corner : {Qt::TopLeftCorner, Qt::BottomRightCorner}) {
                QPointer<QWidget> voucher = w.openWindow(QString::fromLatin1(name));
                QVERIFY2(voucher && QTest::qWaitForWindowExposed(voucher), name);
                QTest::qWait(20);
                QRect frame = voucher->frameGeometry();
                if (corner == Qt::TopLeftCorner)
                    frame.moveTopLeft(screen.topLeft());
                else
                    frame.moveBottomRight(screen.bottomRight());
                voucher->move(frame.topLeft());
                QTest::qWait(20);
                QList<QLineEdit *> boxes;
                if (auto *tabs = voucher->findChild<QTabWidget *>(QStringLiteral("SSTab1"))) {
                    tabs->setCurrentIndex(tabs->count() - 1);
                    boxes = tabs->currentWidget()->findChildren<QLineEdit *>();
                }
                QTest::mouseClick(voucher->findChild<QPushButton *>(QStringLiteral("cmdPreview")), Qt::LeftButton);
                QWidget *preview = voucher->findChild<QWidget *>(QStringLiteral("tdyl"));
                QVERIFY2(preview && QTest::qWaitForWindowExposed(preview), name);
                QTest::qWait(20);
                const QRect p = preview->frameGeometry();
                const QString where = QStringLiteral("%1 from %2: voucher %3, preview %4")
                                          .arg(QString::fromLatin1(name), describe(frame),
                                               describe(voucher->frameGeometry()), describe(p));
                if (!screen.contains(p) || !screen.contains(voucher->frameGeometry()))
                    wrong << where + QStringLiteral(" outside the screen");
                if (p.width() < 480 || p.height() < 360)
                    wrong << where + QStringLiteral(" too small to read");
                for (QLineEdit *box : std::as_const(boxes)) {
                    if (!box->isVisible())
                        continue;
                    const QRect b(box->mapToGlobal(QPoint(0, 0)), box->size());
                    if (p.intersects(b))
                        wrong << where + QStringLiteral(" covers %1 at %2").arg(box->objectName(), describe(b));
                }
                if (corner == Qt::TopLeftCorner && !qEnvironmentVariableIsEmpty("LANSHI_SCREENSHOTS")) {
                    // The screen as the clerk sees it: the voucher, the preview over it.
                    QImage shot(screen.size(), QImage::Format_RGB32);
                    shot.fill(QColor(60, 70, 80));
                    QPainter painter(&shot);
                    for (QWidget *window : {voucher.data(), preview})
                        painter.drawPixmap(window->geometry().topLeft(), window->grab());
                    painter.end();
                    shot.save(QDir(qEnvironmentVariable("LANSHI_SCREENSHOTS"))
                                  .filePath(QStringLiteral("tdyl_1024x768_%1.png").arg(QString::fromLatin1(name))));
                }
                closeAndUnload(preview);
                closeAndUnload(voucher);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // A window too large for the screen is shrunk into it; one placed by its own code stays put.
    void placementKeepsToTheScreenAndToAPlaceChosenInCode()
    {
        const QRect screen(0, 0, 1024, 738);
        QCOMPARE(ui::placeOver(QRect(0, 0, 400, 300), QRect(12, 50, 1000, 620), screen), QRect(312, 210, 400, 300));
        QCOMPARE(ui::placeOver(QRect(0, 0, 400, 300), QRect(800, 600, 200, 100), screen), QRect(624, 438, 400, 300));
        QCOMPARE(ui::placeOver(QRect(0, 0, 400, 300), QRect(-150, -100, 200, 100), screen), QRect(0, 0, 400, 300));
        QCOMPARE(ui::placeOver(QRect(0, 0, 1100, 800), QRect(12, 50, 1000, 620), screen), QRect(0, 0, 1024, 738));

        // Beside: next to the whole opener where there is room; else the opener moves (here up, as
        // far as the screen's top) and the window takes the room below the boxes to keep; where
        // nothing is large enough, over the opener.
        const struct {
            QSize wanted;
            QRect opener, keep, screen, openerAfter, window;
        } beside[] = {
            {{600, 400}, {0, 0, 600, 500}, {10, 40, 300, 200}, {0, 0, 1280, 800}, {0, 0, 600, 500}, {600, 50, 600, 400}},
            {{964, 676}, {140, 249, 884, 519}, {160, 290, 630, 330}, {0, 0, 1024, 768}, {140, 0, 884, 519},
             {0, 371, 964, 397}},
            // Boxes at the opener's foot: it moves down and the window stands above them.
            {{964, 676}, {0, 0, 884, 519}, {160, 290, 630, 330}, {0, 0, 1024, 768}, {0, 249, 884, 519},
             {0, 0, 964, 539}},
            {{964, 676}, {40, 20, 1000, 740}, {}, {0, 0, 1024, 768}, {40, 20, 1000, 740}, {58, 52, 964, 676}},
        };
        for (const auto &b : beside) {
            const ui::SideBySide placed = ui::placeBeside(b.wanted, QSize(480, 320), b.opener, b.keep, b.screen);
            QCOMPARE(placed.opener, b.openerAfter);
            QCOMPARE(placed.window, b.window);
        }

        QVERIFY(openMain());
        app::MainWindow &w = *main;
        w.registerWindow(QStringLiteral("big"), [](QWidget *parent) {
            auto *big = new QWidget(parent, Qt::Window);
            big->resize(1200, 900);
            return big;
        });
        w.registerWindow(QStringLiteral("placed"), [](QWidget *parent) {
            auto *placed = new QWidget(parent, Qt::Window);
            placed->setGeometry(5, 30, 200, 100);
            return placed;
        });
        QWidget *big = w.openWindow(QStringLiteral("big"));
        QVERIFY(QTest::qWaitForWindowExposed(big));
        QVERIFY2(w.screen()->availableGeometry().contains(big->frameGeometry()),
                 qPrintable(describe(big->frameGeometry())));
        QWidget *placed = w.openWindow(QStringLiteral("placed"));
        QVERIFY(QTest::qWaitForWindowExposed(placed));
        QCOMPARE(placed->geometry(), QRect(5, 30, 200, 100));
    }

    // The category list takes the focus: Tab brings the highlight bar onto the first category, the
    // arrow keys move it, Enter runs the category as a click on the bar does.
    void theCategoryListAtTheKeyboard()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        auto *bar = w.findChild<QFrame *>(QStringLiteral("Picture1"));
        auto *caption = w.findChild<QLabel *>(QStringLiteral("Label2"));
        // Opening leaves the bar at rest below the list, as before any hover.
        QCOMPARE(bar->pos(), QPoint(24, 400));
        QCOMPARE(caption->text(), QString("Label2"));
        QCOMPARE(QApplication::focusWidget(), bar);
        bar->clearFocus();
        QTest::keyClick(&w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), bar);
        QCOMPARE(caption->text(), app::MainWindow::slotCaption(0));
        QTest::keyClick(bar, Qt::Key_Up); // the first stays first
        QCOMPARE(caption->text(), QString("本司设置"));
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(caption->text(), QString("客户设置"));
        QCOMPARE(bar->y(), w.findChild<QLabel *>(QStringLiteral("Label1_1"))->y());
        QTest::keyClick(bar, Qt::Key_Return);
        QVERIFY(w.findChild<QPushButton *>(QStringLiteral("Command2"))->isVisible());
        QVERIFY(w.findChild<QPushButton *>(QStringLiteral("Command3"))->isVisible());
        saveScreenshot(&w, "zbd_keyboard");
        // Tab goes on to the buttons the category shows, and one of them opens its window.
        QTest::keyClick(bar, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.findChild<QPushButton *>(QStringLiteral("Command2")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(w.loadedWindow(QStringLiteral("khsz1")) && QApplication::activeWindow() == w.loadedWindow("khsz1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!w.loadedWindow(QStringLiteral("khsz1")));
        w.activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == &w);
        bar->setFocus();
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(caption->text(), QString("数据操作"));
        QTest::keyClick(bar, Qt::Key_Space);
        QVERIFY(w.findChild<QPushButton *>(QStringLiteral("Command16"))->isVisible());
        QTest::keyClick(bar, Qt::Key_End);
        QCOMPARE(caption->text(), QString("退出系统"));
        prompter->answer(ui::No);
        QTest::keyClick(bar, Qt::Key_Enter);
        QCOMPARE(prompter->texts(), QStringList{"是否退出〖蓝石竞技通〗？"});
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(caption->text(), QString("本司设置"));
        QTest::keyClick(&w, Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), bar);
        QCOMPARE(caption->text(), QString("本司设置")); // where it was left
    }

    // F1 opens the help at the section about the window it was pressed in (from a message box or
    // a picker: the window it stands over).
    void f1OpensTheHelpAtTheWindowsSection_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("heading");
        QTest::newRow("main") << "" << "一、主窗口";
        QTest::newRow("khsz2") << "khsz2" << "客户资料";
        QTest::newRow("khxxdr") << "khxxdr" << "客户信息导入";
        QTest::newRow("lsjlcx") << "lsjlcx" << "打印查询";
        QTest::newRow("zpdy") << "zpdy" << "二、凭证打印";
        QTest::newRow("tydysz") << "tydysz" << "三、打印位置校准";
    }
    void f1OpensTheHelpAtTheWindowsSection()
    {
        QFETCH(QString, window);
        QFETCH(QString, heading);
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        QWidget *in = &w;
        if (!window.isEmpty()) {
            if (window == QLatin1String("khxxdr"))
                prompter->answer(ui::No);
            in = w.openWindow(window);
            QVERIFY(QTest::qWaitForWindowActive(in));
        }
        QTest::keyClick(in->focusWidget() ? in->focusWidget() : in, Qt::Key_F1);
        auto *help = w.findChild<QDialog *>(QStringLiteral("help"));
        QVERIFY(help && QTest::qWaitForWindowExposed(help));
        auto *text = help->findChild<QTextBrowser *>(QStringLiteral("helpText"));
        const QString top = text->cursorForPosition(QPoint(4, 4)).block().text();
        QVERIFY2(top.contains(heading), qPrintable(top));
        // The message boxes and pickers of a window have no section: their window's is shown.
        QCOMPARE(app::HelpWindow::sectionOf(in), app::HelpWindow::sectionOf(new QWidget(in, Qt::Window)));
    }

    // A date picker anywhere shows yyyy-MM-dd and starts its weeks on Monday.
    void datePickersShowTheOneDateForm()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        int pickers = 0;
        for (const char *name : {"zpdy", "jzddy", "jkddy", "jhdhpz", "nhjsywsqs", "tydhpz", "lsjlcx"}) {
            QWidget *window = w.openWindow(QString::fromLatin1(name));
            QVERIFY(QTest::qWaitForWindowExposed(window));
            for (QDateEdit *picker : window->findChildren<QDateEdit *>()) {
                ++pickers;
                QCOMPARE(picker->displayFormat(), QString("yyyy-MM-dd"));
                QVERIFY(picker->calendarWidget());
                QCOMPARE(picker->calendarWidget()->firstDayOfWeek(), Qt::Monday);
            }
            closeAndUnload(window);
        }
        QCOMPARE(pickers, 6); // the four vouchers that pick a date, and the history's two
    }

    void homePageWithoutABrowserTellsTheAddress()
    {
        QVERIFY(openMain());
        app::MainWindow &w = *main;
        w.setUrlOpener([](const QUrl &) { return false; });
        w.dispatch(QStringLiteral("网上蓝石"));
        QCOMPARE(prompter->prompts.size(), 1);
        QCOMPARE(prompter->lastTitle(), QString("网上蓝石"));
        QVERIFY2(prompter->lastText().contains(app::MainWindow::homePage().toString()),
                 qPrintable(prompter->lastText()));
        // A browser that opens the page tells nothing.
        w.setUrlOpener([](const QUrl &) { return true; });
        w.dispatch(QStringLiteral("网上蓝石"));
        QCOMPARE(prompter->prompts.size(), 1);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
