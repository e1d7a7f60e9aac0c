#pragma once
// A table model over a data source: chosen columns with captions, following its current row.

#include <QAbstractTableModel>
#include <QVector>

#include <functional>

namespace store {

class DataSource;

struct GridColumn {
    QString column;  // column name in the data source's table
    QString caption; // header text
    // Optional display form of a value (dates arrive as QDate); the plain text otherwise.
    std::function<QString(const QVariant &)> format;
};

// Shows every row of the data source's current result; a view selects currentIndex() when
// currentRowChanged() fires, and a click hands the clicked index to setCurrentIndex().
// A window usually holds the data source as a member and the model as a child object, so the
// source is destroyed first; from then on the model is empty and never touches it again.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(DataSource &source, QVector<GridColumn> columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // What a row shows beyond its texts (colour, font, tool tip) by role; an invalid answer
    // leaves the role to the view.
    void setRowLook(std::function<QVariant(int row, int role)> look) { m_rowLook = std::move(look); }
    // The rows look again (after what setRowLook reads has changed).
    void refreshLook();

    int currentRow() const;           // -1 when the data source is not on a row
    QModelIndex currentIndex() const; // first column of the current row, invalid when none

public slots:
    // Makes the index's row the data source's current row (a click on the grid).
    void setCurrentIndex(const QModelIndex &index);

signals:
    void currentRowChanged(int row);

private:
    void resolveColumns();

    DataSource *m_source; // null once the data source is gone
    QVector<GridColumn> m_columns;
    QVector<int> m_positions; // column positions in the table, -1 for an unknown name
    std::function<QVariant(int row, int role)> m_rowLook;
};

} // namespace store
