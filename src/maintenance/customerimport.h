#pragma once
// The customer import window khxxdr: brings the rows of khb.xls (or .xlsx, .csv) into the address
// book at once.

#include "sheets/sheets.h"
#include "store/connection.h"
#include "store/datasource.h"

#include <QHash>
#include <QWidget>

#include <functional>

namespace Ui { class khxxdr; }
namespace store { class GridModel; }
class QLineEdit;

namespace maintenance {

// The columns an import takes, by position: name, account, bank, province, city.
constexpr int kSheetColumns = 5;

// The header row of the import's workbook, as the template writes it.
QStringList customerSheetHeader();

// Reads the customer rows of a workbook: the sheet named sheet1 (any case) or else the first
// worksheet, the first five columns of every row after the heading, each row padded to five
// texts. A sheet without data rows is refused with a message like any unreadable file.
sheets::Sheet readCustomerSheet(const QString &path);

// Appends customers to khb in one transaction: every row or none. Each row is five texts (name,
// account, bank, province, city); an empty account, bank, province or city becomes "无", and the
// initials of the name are added. progress(added) runs after each row. On failure *failedRow
// names the sheet row (from sheetRows, parallel to rows) or the commit, and *error says why.
bool appendCustomers(store::Connection &connection, const QVector<QStringList> &rows, const QVector<int> &sheetRows,
                     const std::function<void(int added)> &progress, QString *failedRow, QString *error);

// What the window says about a row it is about to import.
struct ImportMark {
    enum class Level { None, Warning, Refused };
    Level level = Level::None;
    QString note; // why, in the clerk's words; empty for a row without remarks
};

// The marks of the rows an import would write (rows as appendCustomers takes them, sheetRows
// parallel), given how many customers of each name the address book holds: the first row is
// refused when its name is a customer already (the import stops there); a row is warned about
// when it has no name, when its name would stand twice in the address book after the import, and
// when cells it leaves empty become "无".
QVector<ImportMark> markImportRows(const QVector<QStringList> &rows, const QVector<int> &sheetRows,
                                   const QHash<QString, int> &held);

class ImportRowsModel;

class CustomerImportWindow : public QWidget {
    Q_OBJECT
public:
    // Asks for another workbook when khb.xls is missing; empty when the user gives up.
    using WorkbookChooser = std::function<QString(QWidget *parent)>;
    // Asks where to save the template, proposing a path; empty when the user gives up.
    using TemplateChooser = std::function<QString(QWidget *parent, const QString &proposed)>;

    explicit CustomerImportWindow(QWidget *parent = nullptr);
    ~CustomerImportWindow() override;

    // Tests replace the file dialog.
    void setWorkbookChooser(WorkbookChooser chooser) { m_chooseWorkbook = std::move(chooser); }
    void setTemplateChooser(TemplateChooser chooser) { m_chooseTemplate = std::move(chooser); }
    static QString askForWorkbook(QWidget *parent);
    static QString askForTemplate(QWidget *parent, const QString &proposed);

    // The workbook the import reads when it is there: khb.xls, else khb.xlsx, else khb.csv in the
    // data folder; khb.xls when there is none.
    static QString defaultWorkbook();

    store::DataSource &customers() { return m_customers; } // Adodc2
    QString workbookPath() const { return m_path; }        // the workbook read last
    const sheets::Sheet &sheet() const { return m_sheet; }
    bool isImporting() const { return m_importing; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLineEdit *field(int index) const;
    void activate();
    // Reads the workbook at path (nothing when empty) and shows its rows from the first one.
    void load(const QString &path);
    void chooseWorkbook();
    // The marks of the rows shown, after the file or the first row's fields changed.
    void updateMarks();
    // How many customers of each name the address book holds.
    QHash<QString, int> heldNames();
    void getData(); // GETDATA: the current sheet row into the fields
    void startImport();
    void saveTemplate();
    struct ImportRows {
        QVector<QStringList> rows;
        QVector<int> sheetRows;
    };
    // The rows an import writes: the shown one as its fields hold it, then the sheet's after it.
    ImportRows rowsToImport() const;
    // Each name that the address book would hold more than once after the import, with where it
    // stands ("甲公司（文件第 3、7 行；客户资料中已有 1 个）").
    QStringList namesHeldTwice(const ImportRows &rows);
    bool importRows(QString *failedRow, QString *error);
    void showAllCustomers();

    Ui::khxxdr *ui;
    store::Connection m_connection;
    store::DataSource m_customers;
    store::GridModel *m_grid;
    ImportRowsModel *m_rows;
    WorkbookChooser m_chooseWorkbook = askForWorkbook;
    TemplateChooser m_chooseTemplate = askForTemplate;
    QString m_path;
    sheets::Sheet m_sheet;
    int m_current = 0; // index of the sheet row shown in the fields
    bool m_importing = false;
};

} // namespace maintenance
