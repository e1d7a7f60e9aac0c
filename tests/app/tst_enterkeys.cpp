// Enter on a focused push button presses it, in every window of the program: the keyboard flow of
// the Enter chains ends on a button, and that button must then work from the keyboard.

#include "app/mainwindow.h"
#include "app/windows.h"
#include "history/payeepicker.h"
#include "reference/customerpicker.h"
#include "reference/picktargets.h"
#include "reference/purposes.h"
#include "scriptedprompter.h"
#include "storefixture.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <set>

namespace {

struct NoTarget : reference::CustomerPickTarget, reference::PurposePickTarget {
    void customerPicked(const QString &) override {}
    void setPurposeText(const QString &) override {}
};

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
        const QStringList names = {"about", "snk", "bssz", "khsz1", "khsz2", "ytsz1", "ytsz2", "zpdy",
                                   "jzddy", "jkddy", "jhdhpz", "nhjsywsqs", "tydhpz", "tydysz", "lsjlcx",
                                   "khxxdr", "sjbf", "sjhf", "dyjsz", "pldy"};
        int opened = 0;
        for (const QString &name : names) {
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
};

QTEST_MAIN(TestEnterKeys)
#include "tst_enterkeys.moc"
