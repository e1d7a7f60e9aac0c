// The keyboard in every window of the program: Enter on a focused push button presses it (the
// keyboard flow of the Enter chains ends on a button, which must then work from the keyboard), a
// grid is one Tab stop whose row only the arrow keys move, and a picker's row is confirmed by Enter
// or a double click.

#include "app/mainwindow.h"
#include "app/windows.h"
#include "history/payeepicker.h"
#include "reference/customerpicker.h"
#include "reference/picktargets.h"
#include "reference/purposes.h"
#include "scriptedprompter.h"
#include "storefixture.h"
#include "store/statements.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QPointer>
#include <QFileDialog>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <set>

namespace {

struct NoTarget : reference::CustomerPickTarget, reference::PurposePickTarget {
    void customerPicked(const QString &name) override { picked << name; }
    void setPurposeText(const QString &text) override
    {
        if (!text.isEmpty())
            picked << text;
    }
    QStringList picked;
};

const QStringList kWindows = {"about", "snk",  "bssz",      "khsz1",  "khsz2",  "ytsz1",  "ytsz2",
                              "zpdy",  "jzddy", "jkddy",    "jhdhpz", "nhjsywsqs", "tydhpz", "tydysz",
                              "lsjlcx", "khxxdr", "sjbf",   "sjhf",   "dyjsz",  "pldy"};

// A grid that Tab walks cell by cell changes its current row, and with it a voucher's payee. Each
// grid with rows must be entered and left by one Tab, its row moved by the arrow keys only.
QStringList gridsThatKeepTheTab(QWidget *window)
{
    QStringList wrong;
    for (QTableView *grid : window->findChildren<QTableView *>()) {
        if (!grid->isVisible() || !grid->model() || grid->model()->rowCount() < 2)
            continue;
        const QString name = window->objectName() + QLatin1Char('.') + grid->objectName();
        grid->setFocus();
        grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClick(grid, Qt::Key_Down);
        if (grid->currentIndex().row() != 1)
            wrong << name + QStringLiteral(" (Down)");
        QTest::keyClick(grid, Qt::Key_Tab);
        QWidget *next = QApplication::focusWidget();
        if (next == grid || grid->currentIndex().row() != 1) {
            wrong << name + QStringLiteral(" (Tab)");
            continue;
        }
        QTest::keyClick(next, Qt::Key_Backtab);
        if (QApplication::focusWidget() != grid || grid->currentIndex().row() != 1)
            wrong << name + QStringLiteral(" (Shift+Tab)");
    }
    return wrong;
}

// Presses Enter on every enabled button that can be seen, tab page by tab page. The buttons'
// own work is disconnected first: only the click is counted.
QStringList buttonsDeafToEnter(QWidget *window)
{
    QStringList deaf;
    std::set<QPushButton *> tried;
    const auto tryVisible = [&] {
        for (QPushButton *b : window->findChildren<QPushButton *>()) {
            if (tried.count(b) || !b->isVisible() || !b->isEnabled() || b->objectName().isEmpty())
                continue;
            tried.insert(b);
            QObject::disconnect(b, &QAbstractButton::clicked, nullptr, nullptr);
            QObject::disconnect(b, &QAbstractButton::released, nullptr, nullptr);
            QObject::disconnect(b, &QAbstractButton::pressed, nullptr, nullptr);
            QSignalSpy clicks(b, &QAbstractButton::clicked);
            b->setFocus();
            QTest::keyClick(b, Qt::Key_Return);
            if (clicks.count() != 1)
                deaf << window->objectName() + QLatin1Char('.') + b->objectName();
        }
    };
    tryVisible();
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            tryVisible();
        }
    }
    return deaf;
}

} // namespace

class TestEnterKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::installChineseFonts(); }

    void enterPressesTheFocusedButtonInEveryWindow()
    {
        StoreFixture db;
        QVERIFY(db.isValid());
        ScriptedPrompter prompter;
        // A window that asks for a file as it opens gets no file.
        QTimer noFiles;
        connect(&noFiles, &QTimer::timeout, [] {
            if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                d->reject();
        });
        noFiles.start(20);
        auto main = std::make_unique<app::MainWindow>();
        app::registerWindows(*main);
        main->show();
        QStringList deaf;
        int opened = 0;
        for (const QString &name : kWindows) {
            if (!main->hasWindow(name))
                continue;
            QWidget *w = main->openWindow(name);
            QVERIFY2(w, qPrintable(name));
            QVERIFY(QTest::qWaitForWindowExposed(w));
            w->setObjectName(name);
            deaf << buttonsDeafToEnter(w);
            w->hide();
            ++opened;
        }
        QVERIFY(opened >= 20);

        // The pickers the windows open.
        NoTarget target;
        QWidget owner;
        QList<QWidget *> pickers = {new reference::CustomerPicker(QStringLiteral("支票"), &target, &owner),
                                    new reference::PurposePicker(QStringLiteral("支票打印"), &target, &owner),
                                    new history::PayeePicker([](const QString &) {}, &owner)};
        for (QWidget *p : pickers) {
            p->show();
            QVERIFY(QTest::qWaitForWindowExposed(p));
            deaf << buttonsDeafToEnter(p);
            p->hide();
        }

        // The main window's command buttons, all at once.
        for (QPushButton *b : main->findChildren<QPushButton *>())
            b->show();
        main->setObjectName(QStringLiteral("zbd"));
        deaf << buttonsDeafToEnter(main.get());
        QVERIFY2(deaf.isEmpty(), qPrintable(deaf.join(QLatin1Char(' '))));
    }

    void aGridIsOneTabStopInEveryWindow()
    {
        StoreFixture db;
        QVERIFY(db.isValid());
        QVERIFY(StoreFixture::append(store::statements::customers(),
                                     {"上海鑫达建材有限公司", "6222", "工行", "上海", "浦东", "SHXDJCYXGS"}));
        QVERIFY(StoreFixture::append(store::statements::history(),
                                     {QVariant(), QDate(2026, 12, 1), QDate(2026, 12, 1), "支票", "1", "10", "货款"}));
        QVERIFY(StoreFixture::append(store::statements::history(),
                                     {QVariant(), QDate(2026, 12, 2), QDate(2026, 12, 2), "支票", "2", "20", "货款"}));
        ScriptedPrompter prompter;
        QTimer noFiles;
        connect(&noFiles, &QTimer::timeout, [] {
            if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                d->reject();
        });
        noFiles.start(20);
        auto main = std::make_unique<app::MainWindow>();
        app::registerWindows(*main);
        main->show();
        QStringList wrong;
        int grids = 0;
        for (const QString &name : kWindows) {
            if (!main->hasWindow(name))
                continue;
            QWidget *w = main->openWindow(name);
            QVERIFY(QTest::qWaitForWindowExposed(w));
            w->setObjectName(name);
            grids += int(w->findChildren<QTableView *>().size());
            wrong << gridsThatKeepTheTab(w);
            w->hide();
        }
        NoTarget target;
        QWidget owner;
        for (QWidget *p : {static_cast<QWidget *>(new reference::CustomerPicker(QStringLiteral("支票"), &target, &owner)),
                           static_cast<QWidget *>(new reference::PurposePicker(QStringLiteral("支票打印"), &target, &owner)),
                           static_cast<QWidget *>(new history::PayeePicker([](const QString &) {}, &owner))}) {
            p->show();
            QVERIFY(QTest::qWaitForWindowExposed(p));
            p->setObjectName(QString::fromLatin1(p->metaObject()->className()));
            wrong << gridsThatKeepTheTab(p);
            p->hide();
        }
        QVERIFY(grids >= 10);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
    }

    // Enter on a picker's row, or a double click on it, confirms that row as the confirm button does.
    void enterOrADoubleClickOnAPickersRowConfirmsIt_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("Enter") << false;
        QTest::newRow("double click") << true;
    }
    void enterOrADoubleClickOnAPickersRowConfirmsIt()
    {
        QFETCH(bool, doubleClick);
        StoreFixture db;
        QVERIFY(db.isValid());
        QVERIFY(StoreFixture::append(store::statements::customers(),
                                     {"上海鑫达建材有限公司", "6222", "工行", "上海", "浦东", "SHXDJCYXGS"}));
        ScriptedPrompter prompter;
        NoTarget target;
        QString payee;
        QWidget owner;
        const QList<QPointer<QWidget>> pickers = {
            new reference::CustomerPicker(QStringLiteral("支票"), &target, &owner),
            new reference::PurposePicker(QStringLiteral("支票打印"), &target, &owner),
            new history::PayeePicker([&payee](const QString &name) { payee = name; }, &owner)};
        QStringList seen;
        for (const QPointer<QWidget> &p : pickers) {
            p->show();
            QVERIFY(QTest::qWaitForWindowExposed(p));
            auto *grid = p->findChild<QTableView *>(QStringLiteral("DataGrid1"));
            QVERIFY(grid);
            const QModelIndex second = grid->model()->index(1, 0);
            if (doubleClick) {
                const QPoint at = grid->visualRect(second).center();
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
            } else {
                grid->setFocus();
                grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 0),
                                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                QTest::keyClick(grid, Qt::Key_Down);
                QTest::keyClick(grid, Qt::Key_Return);
            }
            seen << second.data().toString();
            QTRY_VERIFY(p.isNull() || !p->isVisible()); // confirmed: gone
        }
        QCOMPARE(target.picked, seen.mid(0, 2));
        QCOMPARE(payee, seen.at(2));
        QCOMPARE(seen.at(0), QStringLiteral("上海鑫达建材有限公司"));
    }
};

QTEST_MAIN(TestEnterKeys)
#include "tst_enterkeys.moc"
