#pragma once
// What the voucher window tests share: the seeded rows of the test database, finding and typing
// into fields, and a window whose prints go into a recorder.

#include "reference/customerpicker.h"
#include "scriptedprompter.h"
#include "storefixture.h"
#include "printing/pagewriter_recorder.h"
#include "vouchers/voucherwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

// The own company and the first customer as the schema delivers them.
inline const QString kOwnName = QStringLiteral("北京示例商贸有限公司");
inline const QString kOwnBank = QStringLiteral("中国工商银行北京朝阳支行");
inline const QString kOwnAccount = QStringLiteral("0200001009014412345");
inline const QString kCustomer = QStringLiteral("上海华东建材有限公司");
inline const QString kCustomerAccount = QStringLiteral("31001234567890123456");
inline const QString kCustomerBank = QStringLiteral("中国建设银行上海浦东支行");

inline QLineEdit *edit(QWidget *w, const char *name)
{
    auto *e = w->findChild<QLineEdit *>(QLatin1String(name));
    if (!e)
        qFatal("no field %s", name);
    return e;
}

inline QPushButton *button(QWidget *w, const char *name)
{
    auto *b = w->findChild<QPushButton *>(QLatin1String(name));
    if (!b)
        qFatal("no button %s", name);
    return b;
}

inline void click(QWidget *w, const char *name) { QTest::mouseClick(button(w, name), Qt::LeftButton); }

// Typed text: key clicks for what a key produces, inserted like an input method for Chinese.
inline void type(QLineEdit *e, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClicks(e, QString(c));
        else
            e->insert(QString(c));
    }
}

// The text printed at exactly (x, y), or nullptr.
inline const vouchers::PlacedText *textAt(const QList<vouchers::PlacedText> &texts, double x, double y)
{
    for (const vouchers::PlacedText &t : texts)
        if (t.x == x && t.y == y)
            return &t;
    return nullptr;
}

// The text printed at exactly (x, y), or a note that nothing is, so that a comparison fails
// instead of the program crashing.
inline QString printedAt(const QList<vouchers::PlacedText> &texts, double x, double y)
{
    const vouchers::PlacedText *t = textAt(texts, x, y);
    return t ? t->text : QStringLiteral("（此处没有打印）");
}

// Replaces the own company (bssz) by one row.
inline bool setOwnCompany(const QString &name, const QString &bank, const QString &account)
{
    StoreFixture::removeAll(store::statements::ownCompany());
    return StoreFixture::append(store::statements::ownCompany(), {name, bank, account, QString(), QString()});
}

// Picks a customer through the window's customer picker: opened by its button, the name typed,
// confirmed, and the picker gone.
inline bool pickCustomer(QWidget *window, const char *pickerButton, const QString &name, const QString &tag)
{
    click(window, pickerButton);
    QPointer<reference::CustomerPicker> picker = window->findChild<reference::CustomerPicker *>();
    if (!picker || picker->findChild<QLabel *>(QStringLiteral("Label2"))->text() != tag)
        return false;
    edit(picker, "Text1")->setText(name);
    click(picker, "Command1");
    return QTest::qWaitFor([&] { return picker.isNull(); });
}

// A voucher window as the main window shows it, printing into a recorder.
template <typename Window>
struct Harness {
    QPointer<Window> window;
    vouchers::RecordingPageWriter recorder;
    int prints = 0;

    Window *open()
    {
        window = new Window;
        window->setPrintPath([this](const vouchers::PrintRoutine &routine, QWidget *, const vouchers::Issued &issued) {
            recorder.clear();
            issued(); // the voucher has gone out: its row
            routine(recorder);
            ++prints;
            return vouchers::PrintOutcome::Printed;
        });
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("window not active");
        return window;
    }

    ~Harness() { delete window.data(); }
};
