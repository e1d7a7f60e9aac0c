#pragma once
// The print history window lsjlcx ("付款查询"): query, detail, deletion and workbook export.

#include "store/connection.h"
#include "store/datasource.h"
#include "store/historymarks.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
namespace Ui { class lsjlcx; }
namespace store { class GridModel; }

namespace history {

class PayeePicker;

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *parent = nullptr);
    ~HistoryWindow() override;

    store::DataSource &history() { return m_history; } // Adodc1
    // The payee last chosen in the picker (the hidden Text14).
    QString pickedPayee() const { return m_pickedPayee; }
    // The picker's confirmation: lists the rows whose payee begins with name.
    void payeePicked(const QString &name);
    PayeePicker *picker() const { return m_picker; } // null until "选择(&S)" opened it

    // Asks for the export file; returns the chosen name, empty when cancelled. Tests replace it.
    using SaveFileChooser = std::function<QString(QWidget *parent, const QString &startPath)>;
    void setSaveFileChooser(SaveFileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Asks why the voucher is voided; empty when the clerk gives up. Tests replace it.
    using ReasonAsker = std::function<QString(QWidget *parent, const QString &voucher)>;
    void setReasonAsker(ReasonAsker asker) { m_askReason = std::move(asker); }
    // "作废(&V)": the current row marked void with a reason; the row stays, shown as void, and no
    // longer counts as a payment.
    void voidCurrent();
    // "补打(&B)": the current row's voucher window, filled as the row holds it; its print is
    // recorded as a reprint of the row.
    void reprintCurrent();
    // How the grid shows a row of the result: a voided one grey and struck through, its mark as
    // the tool tip.
    QVariant rowLook(int row, int role) const;

    // Rows above which an export shows its progress.
    static constexpr int kProgressThreshold = 5000;

signals:
    // The voucher window 补打 opened (tests print from it).
    void reprintOpened(QWidget *window);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void activate();
    void showCurrentRow();
    // Lists the rows of statement in the order chosen by the column headings, and their totals.
    bool runQuery(const store::Statement &statement);
    void updateTotals();
    void sortBy(int section);
    // The search as the fields give it; nothing (told, focus moved) when an amount is no amount.
    std::optional<store::statements::HistoryFilter> filter();
    void find();
    void refreshAll();
    void choosePayee();
    void pickerClosed();
    void remove();
    void exit();
    void chooseFile();
    void exportRows();

    Ui::lsjlcx *ui;
    store::Connection m_connection;
    store::DataSource m_history;
    store::GridModel *m_grid;
    store::Statement m_query; // the rows on display, in the stored order
    QString m_sortColumn;     // empty: the stored order
    bool m_sortDescending = false;
    PayeePicker *m_picker = nullptr;
    QString m_pickedPayee;
    SaveFileChooser m_chooseFile;
    ReasonAsker m_askReason;
    QHash<qint64, store::VoidMark> m_voided;

public:
    // 全部账套: the search also runs on every 账套's history, shown in a window of its own with the
    // 账套 of each row (read only; voiding, reprinting and deleting stay with each 账套's own).
    QCheckBox *allCompaniesBox() const { return m_allCompanies; }
    // The window of the last search across all 账套, while it is open.
    QWidget *allCompaniesWindow() const { return m_acrossWindow; }

private:
    void showAllCompanies(const store::Statement &statement);
    QCheckBox *m_allCompanies = nullptr;
    QPointer<QWidget> m_acrossWindow;
};

} // namespace history
