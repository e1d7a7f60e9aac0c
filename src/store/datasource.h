#pragma once
// A data source: the rows of one catalogue statement with a current row, as the windows use them.

#include "store/statements.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

class QSqlQuery;

namespace store {

class Connection;

// Stands for one row of a data source's result until the next refresh, also across the
// deletion of other rows.
struct Bookmark {
    qint64 rowid = 0;
    bool valid = false;
    bool isValid() const { return valid; }
    friend bool operator==(const Bookmark &a, const Bookmark &b)
    {
        return a.valid == b.valid && (!a.valid || a.rowid == b.rowid);
    }
};

// Runs a statement on refresh and keeps the row ids of the result, in the stored order or in the
// statement's own; the values of a row are read when asked for (a few blocks of rows are
// cached), so a large result opens quickly. Reading a
// column with no current row, an unknown column or a null value gives an empty text.
//
// Positions of the current row: before the first (BOF), on a row, after the last (EOF). An empty
// result is BOF and EOF at once. After deleteCurrent() the deleted row stays current in name
// only: it reads as empty, moveNext() goes to the row that followed it, movePrevious() to the
// one before.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Connection &connection, QObject *parent = nullptr);
    ~DataSource() override;

    // Nothing runs until refresh().
    void setStatement(const Statement &statement);
    const Statement &statement() const { return m_statement; }
    // Runs the statement and goes to the first row (or EOF when empty). False on an error, which
    // leaves the result empty; errorText() says what failed.
    bool refresh();
    QString errorText() const { return m_error; }

    // Columns of the statement's table in stored order, known after the first refresh.
    QString table() const { return m_table; }
    QStringList columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int columnIndex(const QString &name) const; // names match without case; -1 when unknown

    int recordCount() const { return int(m_rowids.size()); }
    bool bof() const;
    bool eof() const;
    bool hasRow() const; // there is a current row to read (or a new one being added)
    int currentRow() const; // 0-based, -1 when not on a row of the result
    int absolutePosition() const { return currentRow() + 1; } // 1-based, 0 when not on a row
    bool setCurrentRow(int row);
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    Bookmark bookmark() const;
    bool setBookmark(const Bookmark &bookmark); // false when the row is no longer in the result

    // The current row. Date columns read as ISO text; value() gives them as QDate.
    QString text(const QString &column) const;
    QString text(int position) const;
    QVariant value(const QString &column) const;
    QVariant value(int position) const;
    bool isNull(const QString &column) const;

    // Any row of the result, for grids and exports.
    QString textAt(int row, int position) const;
    QVariant valueAt(int row, int position) const;

    // Writing: addNew() starts a new row; setValue() assigns a column of the new row or of the
    // current one; update() writes what is pending (nothing pending: true, nothing happens).
    // A move, a bookmark, a refresh or another addNew() writes pending changes first. A date
    // column takes a QDate or a text such as "2010/4/14" and stores "2010-04-14"; any other
    // text is refused. The row key (dyb.xh) is never written.
    void addNew();
    bool setValue(const QString &column, const QVariant &value);
    bool setValue(int position, const QVariant &value);
    bool update();
    void cancelUpdate();
    bool isAdding() const { return m_adding; }
    bool hasPendingChanges() const { return m_adding || !m_pending.isEmpty(); }
    // Deletes the current row from the table at once.
    bool deleteCurrent();

signals:
    void aboutToReset();
    void resetDone();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row); // -1 when not on a row

private:
    struct Block {
        QVector<QVector<QVariant>> rows; // empty vector: the row has gone from the table
    };

    bool ordered() const { return m_ordered; }
    int rowOf(qint64 rowid) const; // -1 when not in the result
    bool loadColumns();
    const QVector<QVariant> *rowValues(int row) const;
    void dropCache() const;
    void dropBlockOf(int row) const;
    QVariant pendingOrStored(int position) const;
    QString asText(int position, const QVariant &v) const;
    QVariant asValue(int position, const QVariant &v) const;
    bool flushPending();
    void setPosition(int pos);
    bool fail(const QString &message);

    Connection &m_connection;
    Statement m_statement;
    QString m_error;

    QString m_table;
    QStringList m_columns;
    QVector<bool> m_isDate;
    QVector<bool> m_isKey;
    int m_columnsGeneration = -1;

    QVector<qint64> m_rowids; // ascending in the stored order, else in the statement's order
    bool m_ordered = false;   // the last refresh put the rows in an order of their own
    int m_pos = 0;            // -1 = BOF, size = EOF
    bool m_onDeleted = false;

    bool m_adding = false;
    int m_posBeforeAdd = 0;
    QHash<int, QVariant> m_pending; // position -> value to store

    mutable QHash<int, Block> m_blocks;
    mutable QVector<int> m_blockOrder; // most recently used last
    mutable int m_cacheGeneration = -1;
    // The statement that reads a run of rows by rowid range, kept prepared between blocks.
    mutable std::unique_ptr<QSqlQuery> m_rangeQuery;
    mutable QString m_rangeSql;
    mutable int m_rangeGeneration = -1;
};

} // namespace store
