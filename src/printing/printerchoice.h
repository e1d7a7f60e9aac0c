#pragma once
// The printer each voucher prints on: the clerk's choice per voucher window, kept in the data
// folder (printers.ini), and the box in the window where it is made.

#include <QPrinterInfo>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;

namespace printing {

// The caption of the choice that follows the system: the printer the system calls its default.
QString systemDefaultCaption(); // "系统默认打印机"

// The printer chosen for a voucher window ("zpdy"); empty: the system's default printer.
QString chosenPrinter(const QString &window);
// Keeps the choice (empty: the system's default); false when the file cannot be written.
bool setChosenPrinter(const QString &window, const QString &printer);

// Where a print of the window goes.
struct PrinterPick {
    QString chosen;    // the window's choice; empty: the system's default
    QPrinterInfo info; // the chosen printer, or the default one when none is chosen or it is gone
    bool gone = false; // a printer was chosen that the system no longer has
};
PrinterPick printerOf(const QString &window);

// What to tell before a print to a chosen printer that is gone, offering the default or a PDF.
QString gonePrinterQuestion(const QString &printer);
// Asks it: Yes "用默认打印机(&D)", No "另存为PDF(&S)", or Cancel (the default).
enum class GonePrinterAnswer { UseDefault, SavePdf, Cancel };
GonePrinterAnswer askAboutGonePrinter(QWidget *parent, const QString &printer, const QString &title);

// "打印机(&B)：" and the system's printers, the first entry being the system's default; a choice
// is kept at once. Beside it, the notice of the last print (setNotice), which needs no click.
class PrinterChoice : public QWidget {
    Q_OBJECT
public:
    PrinterChoice(const QString &window, QWidget *parent);

    QComboBox *box() const { return m_box; }
    // Lists the system's printers again, the window's choice selected (a gone one shown as such).
    void refresh();
    void setNotice(const QString &text);
    QString notice() const;

private:
    void chosen(int index);

    QString m_window;
    QComboBox *m_box;
    QLabel *m_notice;
};

} // namespace printing
