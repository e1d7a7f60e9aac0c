// 凭证号码簿 as the clerk keeps it: a book entered and listed with its next number, a wrong one
// refused with what is wrong, a book removed only when confirmed.

#include "windowtest.h"
#include "screenshot.h"
#include "storefixture.h"
#include "voucherharness.h"
#include "vouchers/numberbookwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace vouchers;

class TestNumberBooks : public WindowTest {
    Q_OBJECT

    static QStringList row(QTableWidget *grid, int r)
    {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->item(r, c)->text();
        return cells;
    }

private slots:
    void booksAreEnteredCheckedAndRemoved()
    {
        auto *w = new NumberBookWindow;
        w->show();
        auto *grid = w->findChild<QTableWidget *>(QStringLiteral("GridBooks"));
        auto *kind = w->findChild<QComboBox *>(QStringLiteral("ComboKind"));
        auto *first = w->findChild<QLineEdit *>(QStringLiteral("TextFirst"));
        auto *last = w->findChild<QLineEdit *>(QStringLiteral("TextLast"));
        QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("TextAccount"))->text(), kOwnAccount);
        QVERIFY(kind->findText(QStringLiteral("进账单")) < 0); // its numbers are the cheques paid in
        QCOMPARE(grid->rowCount(), 0);

        kind->setCurrentIndex(kind->findText(QStringLiteral("支票")));
        first->setText(QStringLiteral("00203001"));
        last->setText(QStringLiteral("00203025"));
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("CommandAdd")), Qt::LeftButton);
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(row(grid, 0), (QStringList{"支票", kOwnAccount, "00203001", "00203025", "00203001", "25"}));

        // Overlapping the first: refused, nothing kept.
        first->setText(QStringLiteral("00203020"));
        last->setText(QStringLiteral("00203040"));
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("CommandAdd")), Qt::LeftButton);
        QVERIFY(prompter->lastText().contains(QStringLiteral("重叠")));
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(first->text(), QStringLiteral("00203020")); // left for mending
        saveScreenshot(w, QStringLiteral("hmb"));

        // Removing asks; 否 keeps the book, 是 removes it.
        grid->selectRow(0);
        prompter->clear();
        prompter->answer(ui::No);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("CommandDelete")), Qt::LeftButton);
        QVERIFY(prompter->lastText().startsWith(QStringLiteral("删除号码簿 支票 00203001–00203025 吗？")));
        QCOMPARE(grid->rowCount(), 1);
        prompter->answer(ui::Yes);
        grid->selectRow(0);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("CommandDelete")), Qt::LeftButton);
        QCOMPARE(grid->rowCount(), 0);
        delete w;
    }
};

QTEST_MAIN(TestNumberBooks)
#include "tst_numberbooks.moc"
