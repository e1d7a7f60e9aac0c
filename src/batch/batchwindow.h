#pragma once
// The batch window pldy (批量打印): a payment list read from a spreadsheet, every row checked as
// its voucher's window checks it, and the good rows printed as one job or one PDF.

#include "batch/pldyfields.h"
#include "batch/voucherlist.h"
#include "ui/form.h"

#include <QSet>
#include <QWidget>

#include <functional>
#include <memory>

class QPrinter;
class QStandardItemModel;


namespace batch {

class BatchWindow : public QWidget {
    Q_OBJECT
public:
    explicit BatchWindow(QWidget *parent = nullptr);
    ~BatchWindow() override;

    // Where the window meets the system; tests put their own in.
    std::function<QString(QWidget *)> chooseList;                  // the list to open; empty: none
    std::function<QString(QWidget *, const QString &)> choosePdf;  // the PDF to write
    std::function<QString(QWidget *, const QString &)> chooseTemplate;
    std::function<std::unique_ptr<QPrinter>()> openPrinter;        // nullptr: no printer

    // The commands, as their buttons run them.
    void open();            // "打开(&O)…"
    void load(const QString &path);
    void reload();          // "重新读取(&R)"
    void saveTemplate();    // "保存模板(&T)…"
    void print();           // "打印(&P)"
    void saveAsPdf();       // "保存为PDF(&S)…"

    const ListCheck &check() const { return m_check; }
    // The rows the clerk chose to skip.
    QSet<int> skippedRows() const;
    void setSkipped(int sheetRow, bool skip);

private:
    const vouchers::VoucherKind &kind() const;
    void kindChanged();
    void runCheck();
    void fillGrid();
    void updateStatus();
    // Nothing prints while a row not skipped has a problem: told, false.
    bool readyToPrint();
    void report(const Outcome &out, int skipped);
    Progress progressDialog(int total);

    Ui::pldy *ui;
    BatchFields m_f;
    QStandardItemModel *m_model;
    std::unique_ptr<VoucherList> m_list;
    QString m_path;
    QStringList m_header;
    QList<ListRow> m_rows;
    QString m_readError;
    ListCheck m_check;
};

} // namespace batch
