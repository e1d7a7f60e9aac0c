// The snooker scoreboard driven through its controls, as the operator uses it.

#include "screenshot.h"
#include "snooker/snk.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

enum Player { A, B };

// Ball buttons in order red..black, worth 1..7.
int ballButton(Player p, int points)
{
    return (p == A ? 0 : 18) + points;
}

// QTest::keyClicks takes Latin-1 only; a Chinese name is typed as key events carrying its text.
void type(QWidget *w, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QString scoreLabel(Player p)
{
    return p == A ? QStringLiteral("Label1") : QStringLiteral("Label2");
}

} // namespace

class TestScoreboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOnFrameOne();
    void captionsAndTableRows_data();
    void captionsAndTableRows();

    void ballAddsItsPoints_data();
    void ballAddsItsPoints();
    void pointsAccumulatePerPlayer();

    void endOfFrame_data();
    void endOfFrame();
    void framesEndOneAfterAnother();
    void ballsStillCountWhenMatchIsOver();
    void handEditedCellsAreNeverRead();

    void resetStartsTheMatchAgain_data();
    void resetStartsTheMatchAgain();

    void nameBoxesFeedTheHeadline_data();
    void nameBoxesFeedTheHeadline();

    void closingDiscardsTheBoard_data();
    void closingDiscardsTheBoard();

    void typography_data();
    void typography();
    void fitsTheScreenWithNothingClipped();

private:
    template <class T>
    T *control(const QString &name) const
    {
        T *w = board_ ? board_->findChild<T *>(name) : nullptr;
        if (!w)
            qFatal("the scoreboard has no control %s", qPrintable(name));
        return w;
    }
    QPushButton *command(int n) const { return control<QPushButton>(QStringLiteral("Command%1").arg(n)); }
    QString label(int n) const { return control<QLabel>(QStringLiteral("Label%1").arg(n))->text(); }
    QLineEdit *cell(int n) const { return control<QLineEdit>(QStringLiteral("Text%1").arg(n)); }

    void click(int commandNumber) const { QTest::mouseClick(command(commandNumber), Qt::LeftButton); }
    // Pots blacks and one last ball until the player has scored points more.
    void score(Player p, int points) const;
    void endFrame(int frame) const { click(7 + frame); }
    // The frames whose end button is enabled, by frame number.
    QList<int> openFrames() const;
    // Every number and cell on the board, to show that something changed nothing.
    QStringList boardTexts() const;

    std::unique_ptr<QWidget> host_; // stands in for the main window that owns the board
    QPointer<snooker::Scoreboard> board_;
};

void TestScoreboard::score(Player p, int points) const
{
    for (; points >= 7; points -= 7)
        click(ballButton(p, 7));
    if (points > 0)
        click(ballButton(p, points));
}

QList<int> TestScoreboard::openFrames() const
{
    QList<int> open;
    for (int n = 1; n <= 11; ++n)
        if (command(7 + n)->isEnabled())
            open << n;
    return open;
}

QStringList TestScoreboard::boardTexts() const
{
    QStringList texts;
    for (int n = 1; n <= 4; ++n)
        texts << label(n);
    for (int n = 1; n <= 22; ++n)
        texts << cell(n)->text();
    return texts;
}

void TestScoreboard::initTestCase()
{
    ui::installChineseFonts();
}

void TestScoreboard::init()
{
    host_ = std::make_unique<QWidget>();
    board_ = new snooker::Scoreboard(host_.get());
    board_->show();
    QVERIFY(QTest::qWaitForWindowExposed(board_));
}

void TestScoreboard::cleanup()
{
    host_.reset();
    QVERIFY(board_.isNull());
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestScoreboard::opensOnFrameOne()
{
    QCOMPARE(board_->objectName(), QStringLiteral("snk"));
    QCOMPARE(board_->windowTitle(), QStringLiteral("蓝石软件－－斯诺克计分"));
    QVERIFY(board_->isWindow());
    QCOMPARE(board_->parentWidget(), host_.get());
    QVERIFY(board_->testAttribute(Qt::WA_DeleteOnClose));

    for (int n = 1; n <= 4; ++n)
        QCOMPARE(label(n), QStringLiteral("0"));
    QCOMPARE(label(7), QStringLiteral("选手A"));
    QCOMPARE(label(8), QStringLiteral("选手B"));
    QCOMPARE(cell(25)->text(), QStringLiteral("选手A"));
    QCOMPARE(cell(26)->text(), QStringLiteral("选手B"));

    // Blank, not "0": only a reset writes zeros into frames not yet played.
    for (int n = 1; n <= 22; ++n) {
        QVERIFY2(cell(n)->text().isEmpty(), qPrintable(cell(n)->objectName()));
        QVERIFY(!cell(n)->isReadOnly());
    }

    QCOMPARE(openFrames(), QList<int>{1});
    for (int n : {1, 2, 3, 4, 5, 6, 7, 19, 20, 21, 22, 23, 24, 25, 26, 27})
        QVERIFY2(command(n)->isEnabled(), qPrintable(command(n)->objectName()));
}

void TestScoreboard::captionsAndTableRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    const char *const balls[] = {"1(红)", "2(黄)", "3(绿)", "4(棕)", "5(蓝)", "6(粉红)", "7(黑)"};
    for (int i = 0; i < 7; ++i) {
        const QString a = QStringLiteral("Command%1").arg(1 + i), b = QStringLiteral("Command%1").arg(19 + i);
        QTest::newRow(qPrintable(a)) << a << QString::fromUtf8(balls[i]);
        QTest::newRow(qPrintable(b)) << b << QString::fromUtf8(balls[i]);
    }
    const char *const numerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一"};
    for (int n = 1; n <= 11; ++n) {
        const QString button = QStringLiteral("Command%1").arg(7 + n);
        QTest::newRow(qPrintable(button)) << button << QString::fromUtf8(numerals[n - 1]) + QStringLiteral("局终");
        // A row caption names the frame whose two cells stand beside it.
        QTest::newRow(qPrintable(QStringLiteral("row %1").arg(n)))
            << QStringLiteral("row %1").arg(n)
            << QStringLiteral("第") + QString::fromUtf8(numerals[n - 1]) + QStringLiteral("局");
    }
    QTest::newRow("Command26") << "Command26" << QStringLiteral("清零");
    QTest::newRow("Command27") << "Command27" << QStringLiteral("退出");
    QTest::newRow("Label5") << "Label5" << QStringLiteral(":");
    QTest::newRow("Label6") << "Label6" << QStringLiteral(":");
}

void TestScoreboard::captionsAndTableRows()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);

    if (!name.startsWith(QStringLiteral("row "))) {
        auto *w = control<QWidget>(name);
        if (auto *b = qobject_cast<QPushButton *>(w))
            QCOMPARE(b->text(), caption);
        else
            QCOMPARE(qobject_cast<QLabel *>(w)->text(), caption);
        return;
    }

    const int n = name.mid(4).toInt();
    QLabel *rowCaption = nullptr;
    for (QLabel *l : board_->findChildren<QLabel *>())
        if (l->text() == caption)
            rowCaption = l;
    QVERIFY2(rowCaption, qPrintable(caption));

    const auto centre = [this](QWidget *w) { return w->mapTo(board_, w->rect().center()); };
    QLineEdit *cellA = cell(2 * n - 1), *cellB = cell(2 * n);
    QCOMPARE(centre(cellA).y(), centre(rowCaption).y());
    QCOMPARE(centre(cellB).y(), centre(rowCaption).y());
    QVERIFY(centre(rowCaption).x() < centre(cellA).x());
    QVERIFY(centre(cellA).x() < centre(cellB).x());
    // Odd frames in the left column, even ones in the right.
    const bool leftColumn = centre(cellB).x() < board_->width() / 2;
    QCOMPARE(leftColumn, n % 2 == 1);
    if (n > 2)
        QVERIFY(centre(cellA).y() > centre(cell(2 * n - 5)).y());
}

void TestScoreboard::ballAddsItsPoints_data()
{
    QTest::addColumn<int>("player");
    QTest::addColumn<int>("points");
    for (int p : {A, B})
        for (int points = 1; points <= 7; ++points)
            QTest::addRow("%s %d", p == A ? "A" : "B", points) << p << points;
}

void TestScoreboard::ballAddsItsPoints()
{
    QFETCH(int, player);
    QFETCH(int, points);
    const auto p = Player(player), other = Player(1 - player);

    click(ballButton(p, points));
    QCOMPARE(control<QLabel>(scoreLabel(p))->text(), QString::number(points));
    click(ballButton(p, points));
    QCOMPARE(control<QLabel>(scoreLabel(p))->text(), QString::number(2 * points));

    QCOMPARE(control<QLabel>(scoreLabel(other))->text(), QStringLiteral("0"));
    QCOMPARE(label(3), QStringLiteral("0"));
    QCOMPARE(label(4), QStringLiteral("0"));
    QCOMPARE(openFrames(), QList<int>{1});
}

void TestScoreboard::pointsAccumulatePerPlayer()
{
    for (int points : {1, 7, 1, 7, 1, 6, 1, 5})
        click(ballButton(A, points));
    for (int points : {2, 3, 4})
        click(ballButton(B, points));
    QCOMPARE(label(1), QStringLiteral("29"));
    QCOMPARE(label(2), QStringLiteral("9"));

    // Past a hundred the text stays plain digits.
    score(A, 80);
    QCOMPARE(label(1), QStringLiteral("109"));
}

void TestScoreboard::endOfFrame_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("wonA");
    QTest::addColumn<QString>("wonB");

    QTest::newRow("A ahead") << 10 << 3 << "1" << "0";
    QTest::newRow("B ahead") << 2 << 9 << "0" << "1";
    QTest::newRow("A by one point") << 1 << 0 << "1" << "0";
    QTest::newRow("B with more digits") << 9 << 10 << "0" << "1"; // compared as numbers, not as text
    QTest::newRow("A with more digits") << 100 << 99 << "1" << "0";
    QTest::newRow("tied") << 8 << 8 << "0" << "0";
    QTest::newRow("nil-nil") << 0 << 0 << "0" << "0";
}

void TestScoreboard::endOfFrame()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, wonA);
    QFETCH(QString, wonB);

    score(A, a);
    score(B, b);
    endFrame(1);

    QCOMPARE(cell(1)->text(), QString::number(a));
    QCOMPARE(cell(2)->text(), QString::number(b));
    QCOMPARE(label(3), wonA);
    QCOMPARE(label(4), wonB);
    QCOMPARE(label(1), QStringLiteral("0"));
    QCOMPARE(label(2), QStringLiteral("0"));
    QCOMPARE(openFrames(), QList<int>{2});
    for (int n = 3; n <= 22; ++n)
        QVERIFY2(cell(n)->text().isEmpty(), qPrintable(cell(n)->objectName()));
}

void TestScoreboard::framesEndOneAfterAnother()
{
    // Frame n ends n : 12 - n, so B takes frames 1-5, frame 6 is tied and A takes 7-11.
    for (int n = 1; n <= 11; ++n) {
        // Buttons of other frames are dead: clicking them changes nothing.
        const QStringList before = boardTexts();
        for (int other = 1; other <= 11; ++other)
            if (other != n)
                endFrame(other);
        QCOMPARE(boardTexts(), before);

        score(A, n);
        score(B, 12 - n);
        endFrame(n);

        QCOMPARE(cell(2 * n - 1)->text(), QString::number(n));
        QCOMPARE(cell(2 * n)->text(), QString::number(12 - n));
        if (n < 11) {
            QVERIFY(cell(2 * n + 1)->text().isEmpty());
            QCOMPARE(openFrames(), QList<int>{n + 1});
        }
        QCOMPARE(label(3), QString::number(qMax(0, n - 6)));
        QCOMPARE(label(4), QString::number(qMin(n, 5)));
    }
    QCOMPARE(openFrames(), QList<int>{});
    QCOMPARE(label(3), QStringLiteral("5"));
    QCOMPARE(label(4), QStringLiteral("5"));
}

void TestScoreboard::ballsStillCountWhenMatchIsOver()
{
    for (int n = 1; n <= 11; ++n) {
        score(A, 1);
        endFrame(n);
    }
    QCOMPARE(openFrames(), QList<int>{});
    QCOMPARE(label(3), QStringLiteral("11"));

    score(A, 15);
    score(B, 7);
    endFrame(11); // disabled: the points stay where they are
    QCOMPARE(label(1), QStringLiteral("15"));
    QCOMPARE(label(2), QStringLiteral("7"));
    QCOMPARE(cell(21)->text(), QStringLiteral("1"));
    QCOMPARE(label(3), QStringLiteral("11"));
}

void TestScoreboard::handEditedCellsAreNeverRead()
{
    score(A, 4);
    endFrame(1);

    cell(1)->selectAll();
    QTest::keyClicks(cell(1), QStringLiteral("0"));
    QTest::keyClicks(cell(2), QStringLiteral("50"));
    QTest::keyClicks(cell(4), QStringLiteral("abc"));
    QCOMPARE(label(3), QStringLiteral("1"));
    QCOMPARE(label(4), QStringLiteral("0"));

    score(B, 6);
    endFrame(2);
    QCOMPARE(cell(3)->text(), QStringLiteral("0"));
    QCOMPARE(cell(4)->text(), QStringLiteral("6")); // the frame's end overwrites what was typed
    QCOMPARE(cell(1)->text(), QStringLiteral("0"));
    QCOMPARE(label(3), QStringLiteral("1"));
    QCOMPARE(label(4), QStringLiteral("1"));
}

void TestScoreboard::resetStartsTheMatchAgain_data()
{
    QTest::addColumn<int>("framesEnded");
    QTest::newRow("at open") << 0;
    QTest::newRow("in frame four") << 3;
    QTest::newRow("match over") << 11;
}

void TestScoreboard::resetStartsTheMatchAgain()
{
    QFETCH(int, framesEnded);

    cell(25)->setText(QStringLiteral("丁一"));
    cell(26)->setText(QStringLiteral("Ronnie 奥"));
    for (int n = 1; n <= framesEnded; ++n) {
        score(n % 2 ? A : B, 3 * n);
        endFrame(n);
    }
    score(A, 12);
    score(B, 5);

    click(26);

    for (int n = 1; n <= 4; ++n)
        QCOMPARE(label(n), QStringLiteral("0"));
    for (int n = 1; n <= 22; ++n)
        QCOMPARE(cell(n)->text(), QStringLiteral("0"));
    QCOMPARE(openFrames(), QList<int>{1});
    QCOMPARE(cell(25)->text(), QStringLiteral("丁一"));
    QCOMPARE(cell(26)->text(), QStringLiteral("Ronnie 奥"));
    QCOMPARE(label(7), QStringLiteral("丁一"));
    QCOMPARE(label(8), QStringLiteral("Ronnie 奥"));

    // The new match runs like the first one.
    score(B, 2);
    endFrame(1);
    QCOMPARE(cell(2)->text(), QStringLiteral("2"));
    QCOMPARE(cell(3)->text(), QStringLiteral("0"));
    QCOMPARE(label(4), QStringLiteral("1"));
    QCOMPARE(openFrames(), QList<int>{2});
}

void TestScoreboard::nameBoxesFeedTheHeadline_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("headline");
    QTest::addColumn<int>("otherHeadline");
    QTest::newRow("A") << 25 << 7 << 8;
    QTest::newRow("B") << 26 << 8 << 7;
}

void TestScoreboard::nameBoxesFeedTheHeadline()
{
    QFETCH(int, box);
    QFETCH(int, headline);
    QFETCH(int, otherHeadline);
    QLineEdit *name = cell(box);
    const QString otherName = label(otherHeadline);

    name->setFocus();
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Delete);
    QCOMPARE(name->text(), QString());
    QCOMPARE(label(headline), QString());

    const QString typed = QStringLiteral("李 Lee");
    for (int i = 0; i < typed.size(); ++i) {
        type(name, typed.mid(i, 1));
        QCOMPARE(label(headline), typed.left(i + 1));
    }
    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(label(headline), QStringLiteral("李 Le"));
    QCOMPARE(label(otherHeadline), otherName);
}

void TestScoreboard::closingDiscardsTheBoard_data()
{
    QTest::addColumn<bool>("viaExitButton");
    QTest::newRow("退出") << true;
    QTest::newRow("close box") << false;
}

void TestScoreboard::closingDiscardsTheBoard()
{
    QFETCH(bool, viaExitButton);

    cell(25)->setText(QStringLiteral("张三"));
    score(A, 9);
    endFrame(1);
    score(B, 4);

    if (viaExitButton)
        click(27);
    else
        QVERIFY(board_->close());
    QTRY_VERIFY(board_.isNull());
    QVERIFY(host_); // the owner lives on

    board_ = new snooker::Scoreboard(host_.get());
    board_->show();
    QCOMPARE(label(1), QStringLiteral("0"));
    QCOMPARE(label(2), QStringLiteral("0"));
    QCOMPARE(label(3), QStringLiteral("0"));
    QCOMPARE(cell(1)->text(), QString());
    QCOMPARE(cell(25)->text(), QStringLiteral("选手A"));
    QCOMPARE(openFrames(), QList<int>{1});
}

void TestScoreboard::typography_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("frames won A") << "Label3" << 72.0 << true;
    QTest::newRow("frames won B") << "Label4" << 72.0 << true;
    QTest::newRow("frames won separator") << "Label5" << 42.0 << true;
    QTest::newRow("frame score A") << "Label1" << 36.0 << false;
    QTest::newRow("frame score B") << "Label2" << 36.0 << false;
    QTest::newRow("frame score separator") << "Label6" << 36.0 << false;
    QTest::newRow("name A") << "Label7" << 18.0 << false;
    QTest::newRow("name B") << "Label8" << 18.0 << false;
    QTest::newRow("first cell") << "Text1" << 14.25 << false;
    QTest::newRow("last cell") << "Text22" << 14.25 << false;
    QTest::newRow("red of A") << "Command1" << 10.5 << true;
    QTest::newRow("black of B") << "Command25" << 10.5 << true;
}

void TestScoreboard::typography()
{
    QFETCH(QString, name);
    QFETCH(qreal, points);
    QFETCH(bool, bold);

    const QFont f = control<QWidget>(name)->font();
    QCOMPARE(f.family(), QStringLiteral("宋体"));
    QCOMPARE(f.pointSizeF(), points);
    QCOMPARE(f.bold(), bold);
    // The family must resolve to a face that has the Chinese glyphs.
    QVERIFY(QFontMetrics(f).inFont(QChar(0x5C40))); // 局
}

void TestScoreboard::fitsTheScreenWithNothingClipped()
{
    saveScreenshot(board_, QStringLiteral("snk"));
    // Widest numbers a match produces: eleven frames won, a frame score in four digits.
    for (int n = 1; n <= 11; ++n) {
        score(A, 1);
        endFrame(n);
    }
    score(A, 1050);
    score(B, 147);
    QApplication::processEvents();

    // Room left for the window frame and a taskbar on a 1024 x 768 screen.
    QVERIFY2(board_->width() <= 1000 && board_->height() <= 700,
             qPrintable(QStringLiteral("%1 x %2").arg(board_->width()).arg(board_->height())));

    QList<QWidget *> controls;
    for (QWidget *w : board_->findChildren<QWidget *>())
        if (w->objectName().contains(QRegularExpression(QStringLiteral("^(Command|Text|Label)\\d+$"))))
            controls << w;
    QCOMPARE(controls.size(), 27 + 24 + 8); // the cells and the two name boxes Text25, Text26

    for (int i = 0; i < controls.size(); ++i) {
        QWidget *w = controls[i];
        const QRect r(w->mapTo(board_, QPoint(0, 0)), w->size());
        QVERIFY2(board_->rect().contains(r), qPrintable(w->objectName()));
        for (int j = i + 1; j < controls.size(); ++j) {
            const QRect s(controls[j]->mapTo(board_, QPoint(0, 0)), controls[j]->size());
            QVERIFY2(!r.intersects(s), qPrintable(w->objectName() + QStringLiteral(" / ") + controls[j]->objectName()));
        }
        // Every caption and number is shown whole (the names are free text and may be cut).
        if (auto *b = qobject_cast<QPushButton *>(w))
            QVERIFY2(b->width() >= QFontMetrics(b->font()).horizontalAdvance(b->text()) + 8, qPrintable(b->objectName()));
        else if (auto *l = qobject_cast<QLabel *>(w); l && l != control<QLabel>("Label7") && l != control<QLabel>("Label8"))
            QVERIFY2(l->width() >= l->sizeHint().width() && l->height() >= l->sizeHint().height(), qPrintable(l->objectName()));
        else if (auto *e = qobject_cast<QLineEdit *>(w); e && w->objectName() != QStringLiteral("Text25") && w->objectName() != QStringLiteral("Text26"))
            QVERIFY2(e->width() >= QFontMetrics(e->font()).horizontalAdvance(QStringLiteral("1050")) + 8, qPrintable(e->objectName()));
    }
}

QTEST_MAIN(TestScoreboard)
#include "tst_snk.moc"
