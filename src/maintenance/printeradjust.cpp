#include "maintenance/printeradjust.h"

#include "store/statements.h"
#include "text/numbers.h"
#include "ui/prompter.h"
#include "ui_dyjsz.h"
#include "printing/globaloffsets.h"
#include "printing/printerchoice.h"
#include "store/appdir.h"

#include <QSettings>

#include <QStyle>

namespace maintenance {

namespace {
const QString kTitle = QStringLiteral("打印机调节");
const QString &kHorizontal = printing::kHorizontalOffsetColumn;
const QString &kVertical = printing::kVerticalOffsetColumn;
constexpr double kOrigin = 1701; // 3 cm in twips

// The voucher last chosen for the test print, kept beside the vouchers' printers.
const QString kChosenVoucherKey = QStringLiteral("adjustment/testVoucher");
QString settingsFile() { return store::calibrationFile(QStringLiteral("printers.ini")); }
} // namespace

printing::PrintRoutine adjustmentTestPrint(double horizontalTwips, double verticalTwips, const QString &text)
{
    return [=](printing::PageWriter &w) {
        w.setCurrentX(kOrigin + horizontalTwips);
        w.setCurrentY(kOrigin + text::roundHalfEven(verticalTwips));
        w.setFontSize(20);
        w.printText(text);
        w.endDocument();
    };
}

PrinterAdjustWindow::PrinterAdjustWindow(QWidget *parent, QList<TestPrintVoucher> vouchers)
    : QWidget(parent, Qt::Window), ui(new Ui::dyjsz), m_offsets(m_connection)
{
    ui->setupUi(this);
    for (const TestPrintVoucher &v : vouchers)
        ui->Combo1->addItem(v.name, v.window);
    const QString kept = QSettings(settingsFile(), QSettings::IniFormat).value(kChosenVoucherKey).toString();
    ui->Combo1->setCurrentIndex(std::max(0, ui->Combo1->findData(kept)));
    for (QWidget *w : {static_cast<QWidget *>(ui->label_Combo1), static_cast<QWidget *>(ui->Combo1),
                       static_cast<QWidget *>(ui->printerName)})
        w->setVisible(!vouchers.isEmpty());
    connect(ui->Combo1, &QComboBox::activated, this, [this] {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(kChosenVoucherKey, ui->Combo1->currentData().toString());
        voucherChosen();
    });
    voucherChosen();
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this, &PrinterAdjustWindow::modify);
    connect(ui->Command4, &QPushButton::clicked, this, &PrinterAdjustWindow::save);
    connect(ui->Command3, &QPushButton::clicked, this, &PrinterAdjustWindow::cancel);
    connect(ui->Command2, &QPushButton::clicked, this, &PrinterAdjustWindow::testPrint);
    connect(ui->Command5, &QPushButton::clicked, this, &QWidget::close);

    m_state.testText = QStringLiteral("T");
    m_offsets.setStatement(store::statements::printOffsets());
    if (!m_offsets.refresh())
        ui::tell(this, m_offsets.errorText(), kTitle, ui::Icon::Critical);
    reload();
    showMillimetres();
    setEditable(false);
}

PrinterAdjustWindow::~PrinterAdjustWindow() { delete ui; }

printing::PrintOutcome PrinterAdjustWindow::printDirectly(const printing::PrintRoutine &routine, QWidget *parent,
                                                          const printing::PrintSettings &settings)
{
    return printing::printVoucher(routine, parent, {}, settings);
}

void PrinterAdjustWindow::voucherChosen()
{
    const QString window = ui->Combo1->currentData().toString();
    if (window.isEmpty())
        return;
    const printing::PrinterPick pick = printing::printerOf(window);
    const QString printer = pick.chosen.isEmpty()
                                ? printing::systemDefaultCaption()
                                : (pick.gone ? QStringLiteral("%1（已不在系统中）").arg(pick.chosen) : pick.chosen);
    ui->printerName->setText(QStringLiteral("打印机：%1").arg(printer));
}

void PrinterAdjustWindow::reload()
{
    const printing::GlobalOffsets stored = printing::readGlobalOffsets(m_offsets);
    m_state.horizontalTwips = stored.horizontalText;
    m_state.verticalTwips = stored.verticalText;
}

void PrinterAdjustWindow::showMillimetres()
{
    ui->Text4->setText(QString::number(text::wholeMillimetres(text::leadingNumber(m_state.horizontalTwips))));
    ui->Text5->setText(QString::number(text::wholeMillimetres(text::leadingNumber(m_state.verticalTwips))));
    m_shown.noteShown(ui->Text4);
    m_shown.noteShown(ui->Text5);
}

void PrinterAdjustWindow::setEditable(bool editable)
{
    ui->Text4->setReadOnly(!editable);
    ui->Text5->setReadOnly(!editable);
    // The style sheet follows the read-only property only when asked to look again.
    for (QWidget *w : {static_cast<QWidget *>(ui->Text4), static_cast<QWidget *>(ui->Text5)}) {
        w->style()->unpolish(w);
        w->style()->polish(w);
    }
}

void PrinterAdjustWindow::modify()
{
    setEditable(true);
    ui->Command1->setEnabled(false);
    ui->Command5->setEnabled(false);
    ui->Text4->setFocus();
}

void PrinterAdjustWindow::cancel()
{
    reload();
    setEditable(true);
    ui->Command1->setEnabled(true);
    ui->Command4->setEnabled(true);
    ui->Command5->setEnabled(true);
}

void PrinterAdjustWindow::save()
{
    setEditable(false);
    for (QPushButton *b : {ui->Command1, ui->Command3, ui->Command4, ui->Command5})
        b->setEnabled(true);
    // The boxes show whole millimetres; one left as shown keeps its stored value (a half millimetre).
    const auto storedOf = [this](const QLineEdit *box, const QString &stored) {
        if (m_shown.edited(box) || stored.trimmed().isEmpty())
            return text::formatNumber(text::leadingNumber(box->text()) * text::kTwipsPerMm);
        return stored;
    };
    const QString horizontal = storedOf(ui->Text4, m_state.horizontalTwips);
    const QString vertical = storedOf(ui->Text5, m_state.verticalTwips);

    m_offsets.moveFirst();
    // The table is delivered with its one row; should it have lost it, saving puts it back.
    if (!m_offsets.hasRow())
        m_offsets.addNew();
    m_offsets.setValue(kVertical, vertical.trimmed());
    m_offsets.setValue(kHorizontal, horizontal.trimmed());
    const bool saved = m_offsets.update();
    if (!saved) {
        const QString error = m_offsets.errorText();
        m_offsets.cancelUpdate();
        ui::tell(this, QStringLiteral("打印调节没有保存：%1").arg(error), kTitle, ui::Icon::Critical);
    }
    reload();
    if (saved) { // what the boxes show now stands for what is stored now
        m_shown.noteShown(ui->Text4);
        m_shown.noteShown(ui->Text5);
    }
}

void PrinterAdjustWindow::testPrint()
{
    // The stored offsets count, not what is being typed.
    const printing::PrintRoutine routine = adjustmentTestPrint(
        text::leadingNumber(m_state.horizontalTwips), text::leadingNumber(m_state.verticalTwips), m_state.testText);
    printing::PrintSettings settings;
    settings.pdfName = QStringLiteral("打印测试");
    const QString window = ui->Combo1->currentData().toString();
    if (!window.isEmpty()) {
        voucherChosen(); // the printer may have been chosen or removed since the window opened
        const printing::PrinterPick pick = printing::printerOf(window);
        if (pick.gone) {
            switch (printing::askAboutGonePrinter(this, pick.chosen, kTitle)) {
            case printing::GonePrinterAnswer::UseDefault: break;
            case printing::GonePrinterAnswer::SavePdf: printing::saveVoucherAsPdf(routine, this, {}, settings); return;
            case printing::GonePrinterAnswer::Cancel: return;
            }
        }
        const QPrinterInfo info = pick.info;
        settings.openPrinter = [info] { return printing::printerFor(info); };
    }
    if (m_print)
        m_print(routine, this, settings);
}

} // namespace maintenance
