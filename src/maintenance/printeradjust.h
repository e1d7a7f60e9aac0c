#pragma once
// The printer adjustment window dyjsz: the global horizontal and vertical print offsets.

#include "store/connection.h"
#include "store/datasource.h"
#include "ui/showntexts.h"
#include "printing/pagewriter.h"
#include "printing/printing.h"

#include <QWidget>

#include <functional>

namespace Ui { class dyjsz; }

namespace maintenance {

// The test print: a "T" at 1701 twips from the left and the top, moved by the offsets (the
// vertical one rounded to whole twips, halves to even), in 20 points.
printing::PrintRoutine adjustmentTestPrint(double horizontalTwips, double verticalTwips,
                                           const QString &text = QStringLiteral("T"));

// A voucher whose printer the test print may go to: its window ("zpdy") and its name ("支票").
struct TestPrintVoucher {
    QString window;
    QString name;
};

class PrinterAdjustWindow : public QWidget {
    Q_OBJECT
public:
    // Sends a drawing to the printer the settings open; tests record it instead.
    using Printer = std::function<printing::PrintOutcome(const printing::PrintRoutine &, QWidget *parent,
                                                         const printing::PrintSettings &)>;

    // The offsets move every voucher, so the test print goes to the printer of the voucher chosen
    // in 试打印凭证 (the first one at first; the last choice is kept); with no vouchers offered, to
    // the system's default printer.
    explicit PrinterAdjustWindow(QWidget *parent = nullptr, QList<TestPrintVoucher> vouchers = {});
    ~PrinterAdjustWindow() override;

    void setPrinter(Printer printer) { m_print = std::move(printer); }
    static printing::PrintOutcome printDirectly(const printing::PrintRoutine &routine, QWidget *parent,
                                                const printing::PrintSettings &settings);

    // The hidden holders: the stored offsets in twips as last reloaded (Text1: djpzup, the
    // horizontal one; Text2: djpzleft, the vertical one) and the test text (Text3).
    struct State {
        QString horizontalTwips; // Text1
        QString verticalTwips;   // Text2
        QString testText;        // Text3
    };
    const State &state() const { return m_state; }

private:
    void reload();
    void showMillimetres();
    void setEditable(bool editable);
    void modify();
    void save();
    void cancel();
    void testPrint();
    void voucherChosen();

    Ui::dyjsz *ui;
    store::Connection m_connection{store::Connection::Of::Calibration};
    store::DataSource m_offsets;
    State m_state;
    ui::ShownTexts m_shown; // a box left as shown keeps its stored value
    Printer m_print = printDirectly;
};

} // namespace maintenance
