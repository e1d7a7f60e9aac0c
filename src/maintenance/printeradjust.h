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

class PrinterAdjustWindow : public QWidget {
    Q_OBJECT
public:
    // Sends a drawing to the printer; tests record it instead.
    using Printer = std::function<printing::PrintOutcome(const printing::PrintRoutine &, QWidget *parent)>;

    explicit PrinterAdjustWindow(QWidget *parent = nullptr);
    ~PrinterAdjustWindow() override;

    void setPrinter(Printer printer) { m_print = std::move(printer); }
    static printing::PrintOutcome printOnDefaultPrinter(const printing::PrintRoutine &routine, QWidget *parent);

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

    Ui::dyjsz *ui;
    store::Connection m_connection;
    store::DataSource m_offsets;
    State m_state;
    ui::ShownTexts m_shown; // a box left as shown keeps its stored value
    Printer m_print = printOnDefaultPrinter;
};

} // namespace maintenance
