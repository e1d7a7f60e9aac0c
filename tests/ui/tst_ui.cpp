// Shared window pieces: the key chains and the message-box prompter.

#include "ui/keychain.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestUi : public QObject {
    Q_OBJECT

    // Answers the next message box by pressing key, and reports what it showed.
    struct BoxSeen {
        QString text, title, defaultButton;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };
    static void pressInNextBox(int key, BoxSeen *seen)
    {
        QTimer::singleShot(0, [key, seen] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen->text = box->text();
            seen->title = box->windowTitle();
            seen->icon = box->icon();
            seen->defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key(key));
        });
    }

private slots:
    void enterMovesAlongTheChainAndFocusesTheButtonWithoutPressingIt()
    {
        QWidget w;
        auto *a = new QLineEdit(&w);
        auto *b = new QLineEdit(&w);
        auto *save = new QPushButton("保存(&S)", &w);
        int pressed = 0;
        connect(save, &QPushButton::clicked, [&] { ++pressed; });
        ui::enterChain({a, b, save});
        ui::focusOnKey(b, Qt::Key_Down, a);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        a->setFocus();
        QTest::keyClick(a, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), b);
        QTest::keyClick(b, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), a);
        QTest::keyClick(a, Qt::Key_Enter); // the keypad's Enter too
        QTest::keyClick(b, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), save);
        QCOMPARE(pressed, 0);
        // Other keys still type.
        QTest::keyClicks(a, "ab");
        QCOMPARE(a->text(), QString("ab"));
    }

    void messageBoxShowsTextTitleIconAndDefault()
    {
        BoxSeen seen;
        pressInNextBox(Qt::Key_Return, &seen);
        const ui::Button answer = ui::ask(nullptr, "确定要删除当前数据吗？", "删除", ui::Ok | ui::Cancel,
                                          ui::Icon::Question, ui::Ok);
        QCOMPARE(answer, ui::Ok);
        QCOMPARE(seen.text, QString("确定要删除当前数据吗？"));
        QCOMPARE(seen.title, QString("删除"));
        QCOMPARE(seen.icon, QMessageBox::Question);
    }

    void escapeAnswersNoOrCancel()
    {
        BoxSeen seen;
        pressInNextBox(Qt::Key_Escape, &seen);
        QCOMPARE(ui::ask(nullptr, "是否退出？", "蓝石竞技通", ui::Yes | ui::No, ui::Icon::Question), ui::No);
        pressInNextBox(Qt::Key_Escape, &seen);
        QCOMPARE(ui::ask(nullptr, "x", "y", ui::Ok | ui::Cancel), ui::Cancel);
        pressInNextBox(Qt::Key_Escape, &seen);
        QCOMPARE(ui::ask(nullptr, "请输入用途", "用途"), ui::Ok);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
