// A voucher form of the clerk's own, from the designer to paper: laid out through the designer's
// calls, printed from its window (recorder and PDF) at the places typed in millimetres, with its
// calibration; the built-in cheque copied as a form prints as the cheque; a payment list prints on
// it from the batch and from the command line; a form file goes out and comes back the same, and
// damaged or foreign files are refused.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "app/mainwindow.h"
#include "app/windows.h"
#include "batch/voucherlist.h"
#include "printing/pagewriter_recorder.h"
#include "printing/printing.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/profile.h"
#include "vouchers/chequevoucher.h"
#include "vouchers/customformstore.h"
#include "vouchers/customformwindow.h"
#include "vouchers/customvoucher.h"
#include "vouchers/formdesigner.h"
#include "vouchers/formpreview.h"
#include "vouchers/listcontext.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QPrinterInfo>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vouchers;

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;
const QString kFormName = QStringLiteral("工商银行业务委托书");
const QString kPayee = QStringLiteral("上海华东建材有限公司");

// The form as a clerk lays it out: each field where it is typed, in millimetres.
struct Placed {
    FieldKind kind;
    double xMm, yMm;
    const char *text;   // what the field prints for the row below
    const char *label;  // fixed text, tick group or note caption
    const char *choice; // a tick's choice
};
const Placed kLayout[] = {
    {FieldKind::PartyName, 30, 20, "上海华东建材有限公司", "", ""},
    {FieldKind::PartyAccount, 30, 27.5, nullptr, "", ""}, // the address book's account
    {FieldKind::OwnName, 120, 20, nullptr, "", ""},
    {FieldKind::AmountWords, 30, 40, "壹仟贰佰叁拾肆元伍角陆分", "", ""},
    {FieldKind::AmountFigures, 120, 40, "￥1,234.56", "", ""},
    {FieldKind::CapitalYear, 150, 10, "贰零壹零", "", ""},
    {FieldKind::CapitalMonth, 170, 10, "肆", "", ""}, // April needs no 零
    {FieldKind::Day, 185, 10, "14", "", ""},
    {FieldKind::Purpose, 30, 55, "货款", "", ""},
    {FieldKind::Number, 160, 3, "00001234", "", ""},
    {FieldKind::FixedText, 30, 65, "加盖预留印鉴", "加盖预留印鉴", ""},
    {FieldKind::Tick, 80, 65, "√", "汇款方式", "加急"},
    {FieldKind::Tick, 95, 65, nullptr, "汇款方式", "普通"}, // not chosen: prints nothing
    {FieldKind::Note, 30, 75, "合同2010-18", "附言", ""},
};
constexpr double kCellsXMm = 120, kCellsYMm = 50, kPitchMm = 4.5;

VoucherData row()
{
    return {{key::counterparty, kPayee},      {key::amount, QStringLiteral("1234.56")},
            {key::date, QStringLiteral("2010-04-14")}, {key::purpose, QStringLiteral("货款")},
            {key::number, QStringLiteral("00001234")}, {tickKey(QStringLiteral("汇款方式")), QStringLiteral("加急")},
            {noteKey(QStringLiteral("附言")), QStringLiteral("合同2010-18")}};
}

// A blank form of 210 x 99 mm at 150 dpi: a frame and a few ruled lines, as a scanner gives it.
FormScan blankScan()
{
    FormScan scan;
    scan.dpi = 150;
    scan.image = QImage(qRound(210 / 25.4 * 150), qRound(99 / 25.4 * 150), QImage::Format_RGB32);
    scan.image.fill(QColor(250, 248, 240));
    QPainter p(&scan.image);
    p.setPen(QPen(QColor(200, 60, 60), 2));
    const double k = 150 / 25.4;
    p.drawRect(QRectF(5 * k, 5 * k, 200 * k, 89 * k));
    for (double y : {18.0, 26.0, 34.0, 48.0, 62.0, 72.0})
        p.drawLine(QPointF(5 * k, y * k), QPointF(205 * k, y * k));
    p.setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 14));
    p.drawText(QPointF(70 * k, 12 * k), QStringLiteral("工商银行 业务委托书"));
    p.setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 8));
    p.drawText(QPointF(8 * k, 23 * k), QStringLiteral("收款人"));
    p.drawText(QPointF(8 * k, 31 * k), QStringLiteral("账号"));
    p.drawText(QPointF(8 * k, 45 * k), QStringLiteral("金额"));
    p.drawText(QPointF(8 * k, 59 * k), QStringLiteral("用途"));
    return scan;
}

QString sqlite(const QString &database, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {database, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Where each text printed, first place of each.
QHash<QString, QPointF> placesOf(const QList<PlacedText> &texts)
{
    QHash<QString, QPointF> at;
    for (const PlacedText &t : texts)
        if (!at.contains(t.text))
            at.insert(t.text, {t.x, t.y});
    return at;
}

} // namespace

class TestCustomForms : public WindowTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;

    // The form of kLayout through the designer's own calls, saved.
    CustomForm design(FormDesignerWindow &d)
    {
        d.newForm(kFormName, 210, 99, kRolePayee);
        d.setScan(blankScan());
        for (const Placed &p : kLayout) {
            const int i = d.addField(p.kind);
            CustomField f = d.form().fields[i];
            f.text = QString::fromUtf8(p.label);
            f.choice = QString::fromUtf8(p.choice);
            f.width = p.kind == FieldKind::PartyName ? 80 * kTwipsPerMm : 0;
            d.setField(i, f);
            d.setFieldPlace(i, p.xMm, p.yMm);
        }
        const int cells = d.addField(FieldKind::AmountCells);
        CustomField f = d.form().fields[cells];
        f.cells = 11;
        f.pitch = kPitchMm * kTwipsPerMm;
        d.setField(cells, f);
        d.setFieldPlace(cells, kCellsXMm, kCellsYMm);
        if (!d.save())
            qWarning() << prompter->texts();
        return d.form();
    }

    // What the form's window prints for the row, through the recorder.
    QList<PlacedText> printedFromWindow(const CustomForm &form, int *prints = nullptr)
    {
        std::unique_ptr<VoucherWindow> w(customKind(form).make(nullptr));
        QList<PlacedText> texts;
        w->setPrintPath([&](const PrintRoutine &routine, QWidget *, const Issued &issued) {
            RecordingPageWriter r;
            routine(r);
            texts = r.placedTexts();
            issued();
            if (prints)
                ++*prints;
            return PrintOutcome::Printed;
        });
        w->show();
        w->fill(row());
        w->print();
        return texts;
    }

private slots:
    void init()
    {
        WindowTest::init();
        tmp = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            QPointer<QWidget> p(w);
            if (p && !qobject_cast<QMenu *>(w))
                delete p.data();
        }
        tmp.reset();
        WindowTest::cleanup();
    }

    void aDesignedFormPrintsEveryFieldWhereItWasTyped()
    {
        FormDesignerWindow d;
        d.show();
        const CustomForm form = design(d);
        QVERIFY2(form.id > 0, qPrintable(prompter->texts().join('|')));
        saveScreenshot(&d, QStringLiteral("zdypz"));

        // Saved as typed: every field within a twip of its millimetres.
        const std::optional<CustomForm> saved = loadCustomForm(*std::make_unique<store::Connection>(), form.id);
        QVERIFY(saved);
        QCOMPARE(saved->fields.size(), qsizetype(std::size(kLayout) + 1));
        for (int i = 0; i < int(std::size(kLayout)); ++i) {
            QVERIFY(qAbs(saved->fields[i].x - kLayout[i].xMm * kTwipsPerMm) <= 1);
            QVERIFY(qAbs(saved->fields[i].y - kLayout[i].yMm * kTwipsPerMm) <= 1);
        }

        int prints = 0;
        const QList<PlacedText> texts = printedFromWindow(*saved, &prints);
        QVERIFY2(prints == 1, qPrintable(prompter->texts().join('|')));
        const QHash<QString, QPointF> at = placesOf(texts);
        for (const Placed &p : kLayout) {
            if (!p.text)
                continue;
            const QString text = QString::fromUtf8(p.text);
            QVERIFY2(at.contains(text), qPrintable(text));
            const QString where = QStringLiteral("%1 at (%2, %3)").arg(text).arg(at[text].x()).arg(at[text].y());
            QVERIFY2(qAbs(at[text].x() - p.xMm * kTwipsPerMm) <= 1, qPrintable(where));
            QVERIFY2(qAbs(at[text].y() - p.yMm * kTwipsPerMm) <= 1, qPrintable(where));
        }
        // The cells from the left: 1234.56 fills the six rightmost, ￥ the one before them.
        QStringList cells;
        for (const PlacedText &t : texts)
            if (qAbs(t.y - kCellsYMm * kTwipsPerMm) <= 1) {
                const int cell = qRound((t.x - kCellsXMm * kTwipsPerMm) / (kPitchMm * kTwipsPerMm));
                cells << QStringLiteral("%1:%2").arg(cell).arg(t.text);
            }
        QCOMPARE(cells.join(' '), QStringLiteral("4:￥ 5:1 6:2 7:3 8:4 9:5 10:6"));
        QCOMPARE(std::count_if(texts.begin(), texts.end(), [](const PlacedText &t) { return t.text == QStringLiteral("√"); }),
                 1L); // the chosen choice only

        // The history: the form's name as the type, the own company paying the customer.
        QCOMPARE(StoreFixture::column(store::statements::history(), "pzlx"), QStringList{kFormName});
        QCOMPARE(StoreFixture::column(store::statements::history(), "skrmc"), QStringList{kPayee});
        QCOMPARE(StoreFixture::column(store::statements::history(), "fkje"), QStringList{"1234.56"});

        // Calibration: the whole form 2 mm right, the payee 1 mm further down on its own.
        const QString file = store::calibrationFile(customCalibrationFile(*saved));
        QVERIFY(store::Profile(file).write(QStringLiteral("MyApp"), kFormX0, QStringLiteral("114")));
        QVERIFY(store::Profile(file).write(QStringLiteral("MyApp"), saved->fields[0].yKey(), QStringLiteral("57")));
        StoreFixture::removeAll(store::statements::history()); // no repeat, no number printed before
        const QHash<QString, QPointF> moved = placesOf(printedFromWindow(*saved));
        QCOMPARE(moved[kPayee], QPointF(30 * kTwipsPerMm + 114, 20 * kTwipsPerMm + 57));
        QCOMPARE(moved[QStringLiteral("货款")], QPointF(30 * kTwipsPerMm + 114, 55 * kTwipsPerMm));

        // The window of the defined form, as the clerk sees it.
        std::unique_ptr<VoucherWindow> w(customKind(*saved).make(nullptr));
        w->show();
        w->fill(row());
        saveScreenshot(w.get(), QStringLiteral("zdy-window"));
    }

    void aSavedFormStandsInTheVoucherMenuAndOpensWithItsScan()
    {
        app::MainWindow main;
        app::registerWindows(main);
        main.show();
        // The designer from its button in the voucher category.
        QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("Command22")), Qt::LeftButton);
        auto *d = qobject_cast<FormDesignerWindow *>(main.loadedWindow(QStringLiteral("zdypz")));
        QVERIFY(d);
        const CustomForm form = design(*d);
        QVERIFY(form.id > 0);
        d->close();
        QTRY_VERIFY(!main.loadedWindow(QStringLiteral("zdypz")));

        auto *menu = main.findChild<QMenu *>(QStringLiteral("pjdy00"));
        QMetaObject::invokeMethod(menu, "aboutToShow");
        auto *entry = main.findChild<QAction *>(form.window());
        QVERIFY(entry);
        QCOMPARE(entry->text(), kFormName);
        entry->trigger();
        auto *w = qobject_cast<CustomFormWindow *>(main.loadedWindow(form.window()));
        QVERIFY(w);
        QCOMPARE(w->windowTitle().section(QStringLiteral(" — "), 0, 0), kFormName);
        // 套打预览 starts from the form's scan.
        w->findChild<QPushButton *>(QStringLiteral("preview"))->click();
        auto *preview = w->findChild<FormPreviewWindow *>();
        QVERIFY(preview);
        QCOMPARE(preview->scan().image.size(), form.scan.image.size());
        QCOMPARE(preview->scan().dpi, 150.0);
        preview->close();
        w->close();

        // A form being laid out is asked about before the program goes: 取消 keeps it open.
        QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("Command22")), Qt::LeftButton);
        auto *again = qobject_cast<FormDesignerWindow *>(main.loadedWindow(QStringLiteral("zdypz")));
        QVERIFY(again);
        again->addField(FieldKind::Purpose);
        prompter->clear();
        prompter->answer(ui::Cancel);
        QVERIFY(!main.close());
        QVERIFY(again->isVisible());
        QVERIFY2(prompter->texts().join(' ').contains(QStringLiteral("已修改，是否保存")), qPrintable(prompter->texts().join(' ')));
    }

    void theDesignerPlacesBoxesOnTheScanAndMovesThemByKey()
    {
        FormDesignerWindow d;
        d.show();
        d.newForm(kFormName, 210, 99, kRolePayee);
        d.setScan(blankScan());
        const int i = d.addField(FieldKind::PartyName);
        d.setFieldPlace(i, 25.4, 50.8);
        // 150 dpi: an inch is 150 scan pixels.
        QVERIFY(qAbs(d.boxOf(i).left() - 150) <= 1);
        QVERIFY(qAbs(d.boxOf(i).top() - 300) <= 1);
        QCOMPARE(d.positionText(), QStringLiteral("收款人户名：左 25.4 mm，上 50.8 mm"));
        d.canvas()->setFocus();
        QTest::keyClick(d.canvas(), Qt::Key_Right);
        QTest::keyClick(d.canvas(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(d.canvas(), Qt::Key_Up);
        QVERIFY(qAbs(d.form().fields[i].x - 25.9 * kTwipsPerMm) < 0.01);
        QVERIFY(qAbs(d.form().fields[i].y - 55.3 * kTwipsPerMm) < 0.01);
        QCOMPARE(d.positionText(), QStringLiteral("收款人户名：左 25.9 mm，上 55.3 mm"));
        // What prints lands on the scan where the box stands.
        const CustomForm form = d.form();
        QList<PainterPageWriter::Drawn> drawn;
        CustomFace face;
        face.partyName = kPayee;
        composeFormPreview(form.scan, [&](PageWriter &w) { printCustomForm(w, form, face, {}); }, &drawn);
        QCOMPARE(drawn.size(), qsizetype(1));
        QVERIFY(qAbs(drawn[0].rect.left() - 25.9 / 25.4 * 150) <= 1);
        // Dragged by the mouse: 150 screen pixels at 100 % are 150 scan pixels, an inch.
        d.findChild<QDoubleSpinBox *>(QStringLiteral("zoom"))->setValue(100);
        const QPoint grab = d.boxOf(i).center().toPoint();
        QTest::mousePress(d.canvas(), Qt::LeftButton, {}, grab);
        QTest::mouseMove(d.canvas(), grab + QPoint(150, 0));
        QTest::mouseRelease(d.canvas(), Qt::LeftButton, {}, grab + QPoint(150, 0));
        QVERIFY2(qAbs(d.form().fields[i].x - (25.9 + 25.4) * kTwipsPerMm) <= 15,
                 qPrintable(QString::number(d.form().fields[i].x / kTwipsPerMm)));
        d.setFieldPlace(i, 25.9, 55.3);

        // Placed by two points instead of the resolution: a scan whose corner stands at (60, 40)
        // pixels and whose (100 mm, 50 mm) at 8 pixels per millimetre from there.
        FormScan unscaled = blankScan();
        unscaled.dpi = 0;
        d.setScan(unscaled);
        d.findChild<QDoubleSpinBox *>(QStringLiteral("zoom"))->setValue(100); // a screen pixel is a scan pixel
        d.setSecondPoint(100, 50);
        d.startPlacing();
        QTest::mouseClick(d.canvas(), Qt::LeftButton, {}, QPoint(60, 40));
        QTest::mouseClick(d.canvas(), Qt::LeftButton, {}, QPoint(860, 440));
        QVERIFY(d.form().scan.placed);
        // A second point above and left of the corner is refused, and the placing stands as it was.
        const FormScan placed = d.form().scan;
        d.startPlacing();
        QTest::mouseClick(d.canvas(), Qt::LeftButton, {}, QPoint(300, 300));
        QTest::mouseClick(d.canvas(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(!d.isPlacing());
        QCOMPARE(d.form().scan.imageA, placed.imageA);
        QCOMPARE(d.form().scan.imageB, placed.imageB);
        d.setFieldPlace(i, 10, 20);
        QVERIFY2(qAbs(d.boxOf(i).left() - (60 + 80)) <= 1 && qAbs(d.boxOf(i).top() - (40 + 160)) <= 1,
                 qPrintable(QStringLiteral("%1, %2").arg(d.boxOf(i).left()).arg(d.boxOf(i).top())));

        // A box off the paper is kept on it.
        QTest::keyClick(d.canvas(), Qt::Key_Left, Qt::ShiftModifier);
        for (int k = 0; k < 10; ++k)
            QTest::keyClick(d.canvas(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(d.form().fields[i].x, 0.0);
    }

    void theChequeCopiedAsAFormPrintsAsTheChequeDoes()
    {
        // A calibrated cheque with its counterfoil and bank lines on.
        const QString ini = store::calibrationFile(QStringLiteral("mqtx.ini"));
        for (const auto &[k, v] : {std::pair{"text1", "57"}, {"text31", "-28.5"}, {"text77", "114"}, {"text85", "30"},
                                   {"text90", "-57"}, {"text99", "1"}, {"text100", "1"}})
            QVERIFY(store::Profile(ini).write(QStringLiteral("MyApp"), QString::fromLatin1(k), QString::fromLatin1(v)));
        const std::optional<CustomForm> copy = formFromBuiltIn(QStringLiteral("zpdy"));
        QVERIFY(copy);
        QCOMPARE(copy->width, 16000);
        QCOMPARE(copy->height, 5000);
        QCOMPARE(copy->role, kRolePayee);

        store::Connection connection;
        ListContext context(connection, QDate(2010, 4, 20));
        QList<DataProblem> problems;
        const Voucher cheque = chequeFromData(row(), context, problems);
        const Voucher mine = customFromData(*copy, row(), context, problems);
        QVERIFY(problems.isEmpty());
        RecordingPageWriter a, b;
        cheque.routine(a);
        mine.routine(b);
        QCOMPARE(b.placedTexts(), a.placedTexts());
        QCOMPARE(b.pageWidth(), a.pageWidth());
        QCOMPARE(b.pageHeight(), a.pageHeight());
        // Saved as a form of its own, it is a form like any other.
        CustomForm saved = *copy;
        QCOMPARE(saveCustomForm(connection, saved), QString());
        // Not under the built-in's name: the history tells the two apart.
        CustomForm clash = *copy;
        clash.name = QStringLiteral("支票");
        QVERIFY(saveCustomForm(connection, clash).contains(QStringLiteral("程序自带")));
    }

    void aListPrintsOnTheFormFromTheBatchAndTheCommandLine()
    {
        FormDesignerWindow d;
        const CustomForm form = design(d);
        QVERIFY(form.id > 0);
        const VoucherKind *kind = findVoucherKind(kFormName);
        QVERIFY(kind);
        // The columns are named after the form's fields.
        QStringList captions;
        for (const ListColumn &c : kind->columns)
            captions << c.caption;
        QVERIFY2(captions.contains(QStringLiteral("附言")) && captions.contains(QStringLiteral("汇款方式"))
                     && captions.contains(QStringLiteral("凭证号")),
                 qPrintable(captions.join(' ')));

        const QStringList header = {QStringLiteral("收款人"), QStringLiteral("金额"), QStringLiteral("日期"),
                                    QStringLiteral("用途"), QStringLiteral("凭证号"), QStringLiteral("汇款方式"),
                                    QStringLiteral("附言")};
        batch::VoucherList list(*kind);
        const batch::ListCheck check =
            batch::checkList(list, header,
                             {{2, {kPayee, "100.00", "2010-04-14", "货款", "00000001", "加急", "甲"}},
                              {3, {kPayee, "200.00", "2010-04-15", "运费", "00000002", "普通", ""}}});
        QVERIFY(check.blocking().isEmpty());
        const QString pdf = tmp->filePath(QStringLiteral("batch.pdf"));
        const batch::Outcome outcome = batch::saveEntriesPdf(check.toPrint(), pdf);
        QCOMPARE(outcome.printed, 2);
        QCOMPARE(pdftools::pageCount(pdf), 2);
        QCOMPARE(StoreFixture::column(store::statements::history(), "pzhm"), (QStringList{"00000001", "00000002"}));

        // A choice the form does not have is the row's problem.
        const batch::ListCheck wrong = batch::checkList(
            list, header, {{2, {kPayee, "150.00", "2010-04-14", "货款", "00000003", "特快", ""}}});
        QCOMPARE(wrong.blocking().size(), qsizetype(1));
        QVERIFY(wrong.blocking().first().toString().contains(QStringLiteral("汇款方式")));

        // The command line, by the form's name, into the same history.
        const QString csv = tmp->filePath(QStringLiteral("list.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("收款人,金额,日期,用途,凭证号,汇款方式,附言\n%1,300.00,2010-04-16,货款,00000009,加急,乙\n")
                    .arg(kPayee)
                    .toUtf8());
        f.close();
        const QString out = tmp->filePath(QStringLiteral("cli.pdf"));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LANSHI_BINARY),
                {QStringLiteral("--data-dir"), store::appDir(), QStringLiteral("print"), kFormName,
                 QStringLiteral("--data"), csv, QStringLiteral("--pdf"), out});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QCOMPARE(sqlite(store::databasePath(), QStringLiteral("SELECT pzlx || '|' || pzhm || '|' || fkje FROM dyb "
                                                              "WHERE pzhm = '00000009'")),
                 kFormName + QStringLiteral("|00000009|300.00"));
        // The payee at its place on paper: 30 mm, 20 mm.
        const QList<pdftools::Word> words = pdftools::words(out);
        const pdftools::Word *payee = pdftools::find(words, kPayee);
        QVERIFY(payee);
        QVERIFY2(qAbs(payee->box.left() * 20 - 30 * kTwipsPerMm) <= 2, qPrintable(QString::number(payee->box.left() * 20)));
        QVERIFY2(qAbs(payee->box.top() * 20 - 20 * kTwipsPerMm) <= 2, qPrintable(QString::number(payee->box.top() * 20)));
        QVERIFY(pdftools::find(words, QStringLiteral("乙")));
    }

    // The form through the two CUPS queues that write PDF files (scripts/printer.sh): the payee at
    // the queue's hardware margin, read from its PPD, plus its typed place plus the calibration.
    void printsFromThePrintableAreaOfTheQueue_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::newRow("no hardware margins") << QStringLiteral("PDF");
        QTest::newRow("margins 18 pt left, 12 pt top") << QStringLiteral("PDF-margins");
    }
    void printsFromThePrintableAreaOfTheQueue()
    {
        QFETCH(QString, queue);
        if (!pdftools::isPdfQueue(queue))
            QSKIP("the PDF queue is not set up (as root: bash scripts/printer.sh)");
        const std::optional<QMarginsF> margins = pdftools::ppdHardwareMargins(queue);
        QVERIFY(margins);
        FormDesignerWindow d;
        const CustomForm form = design(d);
        QVERIFY(store::Profile(store::calibrationFile(customCalibrationFile(form)))
                    .write(QStringLiteral("MyApp"), kFormY0, QStringLiteral("-57")));
        const double payeeX = 30 * kTwipsPerMm, payeeY = 20 * kTwipsPerMm - 57;

        std::unique_ptr<VoucherWindow> w(customKind(form).make(nullptr));
        const QString title = QStringLiteral("lanshi-custom-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(QDateTime::currentMSecsSinceEpoch());
        w->printSettings().documentName = title;
        w->printSettings().openPrinter = [queue] { return printerFor(QPrinterInfo::printerInfo(queue)); };
        const QString reference = tmp->filePath(QStringLiteral("reference.pdf"));
        VoucherWindow *raw = w.get();
        w->setPrintPath([raw, reference](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
            savePdf(routine, reference);
            return printVoucher(routine, parent, issued, raw->printSettings());
        });
        w->show();
        w->fill(row());
        w->print();
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join('|')));
        const QList<pdftools::Word> words = pdftools::words(reference);
        const pdftools::Word *drawn = pdftools::find(words, kPayee);
        QVERIFY(drawn);
        QVERIFY2(qAbs(drawn->box.left() * 20 - payeeX) <= 2 && qAbs(drawn->box.top() * 20 - payeeY) <= 2,
                 qPrintable(QStringLiteral("payee at (%1, %2) twips").arg(drawn->box.left() * 20).arg(drawn->box.top() * 20)));

        QString job;
        QTRY_VERIFY_WITH_TIMEOUT(!(job = pdftools::jobFile(pdftools::pdfPrinterOutput(), title)).isEmpty(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(pdftools::pageCount(job), 1, 20000);
        const QSizeF page = pdftools::pageSize(job);
        QVERIFY2(qAbs(page.width() - 210 / 25.4 * 72) < 0.5 && qAbs(page.height() - 99 / 25.4 * 72) < 0.5,
                 qPrintable(QStringLiteral("%1 x %2 pt").arg(page.width()).arg(page.height())));
        const QRectF drawnInk = pdftools::inkWithin(reference, drawn->box.adjusted(-1, -1, 1, 1));
        QVERIFY(!drawnInk.isEmpty());
        const QRectF expected = drawnInk.translated(margins->left(), margins->top());
        const double oneMm = 72 / 25.4;
        const QRectF found = pdftools::inkWithin(job, expected.adjusted(-oneMm, -oneMm, oneMm, oneMm));
        const QString where = QStringLiteral("payee ink at (%1, %2) pt; expected (%3, %4) pt")
                                  .arg(found.left()).arg(found.top()).arg(expected.left()).arg(expected.top());
        QVERIFY2(qAbs(found.left() - expected.left()) <= oneMm / 2, qPrintable(where));
        QVERIFY2(qAbs(found.top() - expected.top()) <= oneMm / 2, qPrintable(where));
        QFile::remove(job);
    }

    void aFormFileComesBackTheSameAndBadFilesAreRefused()
    {
        FormDesignerWindow d;
        const CustomForm form = design(d);
        const QString file = tmp->filePath(QStringLiteral("form.json"));
        QVERIFY(d.exportTo(file));

        // Another office: the form's name is free there.
        store::Connection connection;
        QCOMPARE(removeCustomForm(connection, form.id), QString());
        QVERIFY(d.importFrom(file));
        const std::optional<CustomForm> back = loadCustomForm(connection, customFormNamed(connection, kFormName));
        QVERIFY(back);
        QCOMPARE(back->name, form.name);
        QCOMPARE(back->role, form.role);
        QCOMPARE(back->width, form.width);
        QCOMPARE(back->height, form.height);
        QCOMPARE(back->fields, form.fields);
        QCOMPARE(back->scan.image, form.scan.image);
        QCOMPARE(back->scan.dpi, form.scan.dpi);
        // The same form: its calibration, scan and printer on this machine go by the same name.
        QCOMPARE(back->window(), form.window());

        // A removed field's number is never given again: its calibration cannot move a new field.
        d.removeField(int(d.form().fields.size()) - 1);
        const int removed = form.fields.last().serial;
        const int added = d.addField(FieldKind::Purpose);
        QVERIFY(d.form().fields[added].serial > removed);
        QVERIFY(d.save());
        store::Connection reread;
        QVERIFY(loadCustomForm(reread, d.form().id)->nextSerial() > d.form().fields[added].serial);

        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray good = in.readAll();
        const struct {
            const char *what;
            QByteArray body;
            const char *message;
        } bad[] = {
            {"cut off", good.left(good.size() / 2), "已损坏"},
            {"not JSON", "PK\x03\x04 zip", "已损坏"},
            {"another program's JSON", R"({"name":"x","fields":[]})", "不是凭证格式文件"},
            {"newer", QByteArray(good).replace("\"version\": 1", "\"version\": 7"), "较新版本"},
            {"unknown field", QByteArray(good).replace("\"type\": \"purpose\"", "\"type\": \"qrCode\""), "不认识的栏目“qrCode”"},
            {"off the paper", QByteArray(good).replace("\"heightTwips\": 5613", "\"heightTwips\": 600"), "不能使用"},
            {"serial 0", QByteArray(good).replace("\"serial\": 1,", "\"serial\": 0,"), "编号"},
            {"serial beyond any int", QByteArray(good).replace("\"serial\": 1,", "\"serial\": 1e300,"), "编号"},
            {"twelve cells", QByteArray(good).replace("\"cells\": 11", "\"cells\": 12"), "格数"},
            {"no mark", QByteArray(good).replace("\"uid\"", "\"uuid\""), "标识"},
            {"a note named as a column", QByteArray(good).replace("\"text\": \"附言\"", "\"text\": \"金额\""), "另一列"},
        };
        const QString before = sqlite(store::databasePath(), QStringLiteral("SELECT count(*) FROM zdypz; SELECT count(*) FROM zdypzzd"));
        for (const auto &b : bad) {
            QString error;
            QVERIFY2(!formFromJson(b.body, &error), b.what);
            QVERIFY2(error.contains(QString::fromUtf8(b.message)), qPrintable(QString::fromLatin1(b.what) + ": " + error));
            const QString path = tmp->filePath(QStringLiteral("bad.json"));
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(b.body);
            out.close();
            prompter->prompts.clear();
            QVERIFY2(!d.importFrom(path), b.what);
            QVERIFY(prompter->texts().join(' ').contains(QStringLiteral("没有导入")));
        }
        QCOMPARE(sqlite(store::databasePath(), QStringLiteral("SELECT count(*) FROM zdypz; SELECT count(*) FROM zdypzzd")), before);
    }
};

QTEST_MAIN(TestCustomForms)
#include "tst_customforms.moc"
