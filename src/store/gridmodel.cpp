#include "store/gridmodel.h"

#include "store/datasource.h"

namespace store {

GridModel::GridModel(DataSource &source, QVector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_source(&source), m_columns(std::move(columns))
{
    resolveColumns();
    // QObject::destroyed comes after the DataSource part is gone: only forget it here.
    connect(&source, &QObject::destroyed, this, [this] {
        m_source = nullptr;
        beginResetModel();
        m_positions.fill(-1);
        endResetModel();
    });
    connect(&source, &DataSource::aboutToReset, this, &GridModel::beginResetModel);
    connect(&source, &DataSource::resetDone, this, [this] {
        resolveColumns();
        endResetModel();
    });
    connect(&source, &DataSource::rowAboutToBeInserted, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(&source, &DataSource::rowInserted, this, &GridModel::endInsertRows);
    connect(&source, &DataSource::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(&source, &DataSource::rowRemoved, this, &GridModel::endRemoveRows);
    connect(&source, &DataSource::rowChanged, this, [this](int row) {
        if (!m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    });
    connect(&source, &DataSource::currentRowChanged, this, &GridModel::currentRowChanged);
}

void GridModel::resolveColumns()
{
    m_positions.clear();
    for (const GridColumn &c : m_columns)
        m_positions.append(m_source ? m_source->columnIndex(c.column) : -1);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->recordCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && m_rowLook && m_source && checkIndex(index, CheckIndexOption::IndexIsValid))
        return m_rowLook(index.row(), role);
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const GridColumn &c = m_columns.at(index.column());
    const int position = m_positions.at(index.column());
    if (position < 0 || !m_source)
        return QString();
    if (c.format)
        return c.format(m_source->valueAt(index.row(), position));
    return m_source->textAt(index.row(), position);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_columns.size())
        return m_columns.at(section).caption;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void GridModel::refreshLook()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int GridModel::currentRow() const { return m_source ? m_source->currentRow() : -1; }

QModelIndex GridModel::currentIndex() const
{
    const int row = currentRow();
    return row >= 0 && !m_columns.isEmpty() ? index(row, 0) : QModelIndex();
}

void GridModel::setCurrentIndex(const QModelIndex &index)
{
    if (m_source && index.isValid() && index.model() == this)
        m_source->setCurrentRow(index.row());
}

} // namespace store
