#include "store/datasource.h"

#include "store/connection.h"
#include "store/database.h"
#include "store/dates.h"
#include "text/numbers.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace store {

namespace {

// A grid shows some thirty rows; a few blocks of them cover scrolling back and forth.
constexpr int kBlockRows = 64;
constexpr int kMaxBlocks = 32;

QString quoted(const QString &name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

} // namespace

DataSource::DataSource(Connection &connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{
}

DataSource::~DataSource() = default;

void DataSource::setStatement(const Statement &statement) { m_statement = statement; }

bool DataSource::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool DataSource::loadColumns()
{
    if (m_table == m_statement.table() && !m_columns.isEmpty()
        && m_columnsGeneration == m_connection.generation())
        return true;
    m_table = m_statement.table();
    m_columns.clear();
    m_isDate.clear();
    m_isKey.clear();
    if (m_connection.isServer()) {
        // A server 账套's tables are the file schema's: their columns and declared types from there.
        for (const SchemaColumn &c : schemaColumns(m_table)) {
            m_columns << c.name;
            m_isDate << (c.type.compare(QLatin1String("date"), Qt::CaseInsensitive) == 0);
            m_isKey << c.integerKey;
        }
        if (m_columns.isEmpty())
            return fail(QStringLiteral("数据库中没有表 %1。").arg(m_table));
        m_columnsGeneration = m_connection.generation();
        return true;
    }
    QSqlQuery q(m_connection.database());
    // Table names come from the catalogue only; PRAGMA arguments cannot be bound.
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(m_table))))
        return fail(QStringLiteral("无法读取表 %1 的结构：%2").arg(m_table, q.lastError().text()));
    while (q.next()) {
        m_columns << q.value(1).toString();
        const QString type = q.value(2).toString();
        m_isDate << (type.compare(QLatin1String("date"), Qt::CaseInsensitive) == 0);
        m_isKey << (q.value(5).toInt() > 0
                    && type.compare(QLatin1String("integer"), Qt::CaseInsensitive) == 0);
    }
    if (m_columns.isEmpty())
        return fail(QStringLiteral("数据库中没有表 %1。").arg(m_table));
    m_columnsGeneration = m_connection.generation();
    return true;
}

bool DataSource::refresh()
{
    m_error.clear();
    const bool flushed = flushPending();
    const QString flushError = m_error;

    emit aboutToReset();
    m_rowids.clear();
    m_ordered = !m_statement.order().isEmpty();
    m_pos = 0;
    m_onDeleted = false;
    dropCache();

    bool ok = true;
    if (!m_statement.isValid()) {
        ok = fail(QStringLiteral("数据源没有设置查询。"));
    } else if (loadColumns()) {
        const Statement statement = statements::cheaperForm(m_statement, m_connection);
        QString sql = QStringLiteral("SELECT rowid FROM ") + quoted(m_table);
        if (!statement.condition().isEmpty())
            sql += QStringLiteral(" WHERE ") + statement.condition();
        sql += QStringLiteral(" ORDER BY ")
               + (statement.order().isEmpty() ? QStringLiteral("rowid") : statement.order());
        QSqlQuery q(m_connection.database());
        q.setForwardOnly(true);
        if (!q.prepare(sql)) {
            ok = fail(QStringLiteral("查询失败：%1").arg(q.lastError().text()));
        } else {
            for (const QVariant &v : statement.values())
                q.addBindValue(v);
            if (!q.exec()) {
                ok = fail(QStringLiteral("查询失败：%1").arg(q.lastError().text()));
            } else {
                while (q.next())
                    m_rowids.append(q.value(0).toLongLong());
                if (q.lastError().isValid()) {
                    m_rowids.clear();
                    ok = fail(QStringLiteral("查询失败：%1").arg(q.lastError().text()));
                }
            }
        }
    } else {
        ok = false;
    }
    if (!flushed && ok)
        m_error = flushError;
    emit resetDone();
    emit currentRowChanged(currentRow());
    return ok && flushed;
}

int DataSource::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool DataSource::bof() const
{
    if (m_adding)
        return false;
    if (m_rowids.isEmpty())
        return true;
    return !m_onDeleted && m_pos < 0;
}

bool DataSource::eof() const
{
    if (m_adding)
        return false;
    if (m_rowids.isEmpty())
        return true;
    return !m_onDeleted && m_pos >= m_rowids.size();
}

bool DataSource::hasRow() const { return m_adding || currentRow() >= 0; }

int DataSource::currentRow() const
{
    if (m_adding || m_onDeleted || m_pos < 0 || m_pos >= m_rowids.size())
        return -1;
    return m_pos;
}

void DataSource::setPosition(int pos)
{
    m_pos = pos;
    m_onDeleted = false;
    emit currentRowChanged(currentRow());
}

bool DataSource::setCurrentRow(int row)
{
    flushPending();
    if (row < 0 || row >= m_rowids.size())
        return false;
    setPosition(row);
    return true;
}

void DataSource::moveFirst()
{
    flushPending();
    setPosition(0);
}

void DataSource::moveLast()
{
    flushPending();
    setPosition(m_rowids.isEmpty() ? 0 : int(m_rowids.size()) - 1);
}

void DataSource::moveNext()
{
    flushPending();
    if (m_onDeleted)
        setPosition(m_pos); // the row that followed the deleted one now has its index
    else if (m_pos < m_rowids.size())
        setPosition(m_pos + 1);
}

void DataSource::movePrevious()
{
    flushPending();
    if (m_onDeleted || m_pos >= 0)
        setPosition(m_pos - 1);
}

Bookmark DataSource::bookmark() const
{
    const int row = currentRow();
    if (row < 0)
        return Bookmark();
    return Bookmark{m_rowids.at(row), true};
}

bool DataSource::setBookmark(const Bookmark &bookmark)
{
    flushPending();
    if (!bookmark.isValid())
        return false;
    const int row = rowOf(bookmark.rowid);
    if (row < 0)
        return false;
    setPosition(row);
    return true;
}

int DataSource::rowOf(qint64 rowid) const
{
    if (ordered()) {
        // A million row ids are looked through in about a millisecond.
        const auto it = std::find(m_rowids.cbegin(), m_rowids.cend(), rowid);
        return it == m_rowids.cend() ? -1 : int(it - m_rowids.cbegin());
    }
    const auto it = std::lower_bound(m_rowids.cbegin(), m_rowids.cend(), rowid);
    return it == m_rowids.cend() || *it != rowid ? -1 : int(it - m_rowids.cbegin());
}

void DataSource::dropCache() const
{
    m_blocks.clear();
    m_blockOrder.clear();
}

void DataSource::dropBlockOf(int row) const
{
    const int block = row / kBlockRows;
    m_blocks.remove(block);
    m_blockOrder.removeAll(block);
}

const QVector<QVariant> *DataSource::rowValues(int row) const
{
    if (row < 0 || row >= m_rowids.size() || m_columns.isEmpty())
        return nullptr;
    if (m_cacheGeneration != m_connection.generation()) {
        dropCache();
        m_cacheGeneration = m_connection.generation();
    }
    const int block = row / kBlockRows;
    auto it = m_blocks.find(block);
    if (it != m_blocks.end() && row - block * kBlockRows >= it->rows.size()) {
        dropBlockOf(row); // read while the result was shorter
        it = m_blocks.end();
    }
    if (it == m_blocks.end()) {
        const int first = block * kBlockRows;
        const int last = std::min<int>(first + kBlockRows, m_rowids.size());
        QString columns = QStringLiteral("SELECT rowid");
        for (const QString &c : m_columns)
            columns += QStringLiteral(", ") + quoted(c);
        columns += QStringLiteral(" FROM ") + quoted(m_table);

        Block b;
        b.rows.resize(last - first);
        const qint64 low = m_rowids.at(first);
        const qint64 high = m_rowids.at(last - 1);
        // Rowids ascend in the stored order, so a block whose rows lie close together is read as
        // one rowid range with a statement prepared once; a sparse block (a narrow query over a
        // long table) or a block of another order names its rowids instead, so the range never
        // drags in many rows nobody asked for.
        if (!ordered() && high - low < 4 * qint64(last - first)) {
            const QString sql = columns + QStringLiteral(" WHERE rowid BETWEEN ? AND ? ORDER BY rowid");
            if (!m_rangeQuery || m_rangeSql != sql || m_rangeGeneration != m_connection.generation()) {
                m_rangeQuery = std::make_unique<QSqlQuery>(m_connection.database());
                m_rangeQuery->setForwardOnly(true);
                m_rangeSql = m_rangeQuery->prepare(sql) ? sql : QString();
                m_rangeGeneration = m_connection.generation();
            }
            QSqlQuery &q = *m_rangeQuery;
            bool ok = !m_rangeSql.isEmpty();
            if (ok) {
                q.bindValue(0, low);
                q.bindValue(1, high);
                ok = q.exec();
            }
            int r = first;
            while (ok && q.next()) {
                const qint64 rowid = q.value(0).toLongLong();
                while (r < last && m_rowids.at(r) < rowid)
                    ++r; // a row of the result that has gone from the table stays empty
                if (r == last)
                    break;
                if (m_rowids.at(r) != rowid)
                    continue; // a row of the table that is not in this result
                QVector<QVariant> values(m_columns.size());
                for (int c = 0; c < m_columns.size(); ++c)
                    values[c] = q.value(c + 1);
                b.rows[r - first] = values;
            }
            const bool failed = !ok || q.lastError().isValid();
            q.finish(); // no read transaction may stay open: writers and the backup wait for it
            // A failed read (a closed connection, say) is not cached, so the rows come back once
            // the connection is open again.
            if (failed) {
                m_rangeQuery.reset();
                return nullptr;
            }
        } else {
            QString sql = columns + QStringLiteral(" WHERE rowid IN (");
            for (int r = first; r < last; ++r)
                sql += r == first ? QStringLiteral("?") : QStringLiteral(",?");
            sql += QLatin1Char(')');

            QSqlQuery q(m_connection.database());
            q.setForwardOnly(true);
            QHash<qint64, QVector<QVariant>> found;
            if (q.prepare(sql)) {
                for (int r = first; r < last; ++r)
                    q.addBindValue(m_rowids.at(r));
                if (q.exec()) {
                    while (q.next()) {
                        QVector<QVariant> values(m_columns.size());
                        for (int c = 0; c < m_columns.size(); ++c)
                            values[c] = q.value(c + 1);
                        found.insert(q.value(0).toLongLong(), values);
                    }
                }
            }
            if (q.lastError().isValid())
                return nullptr;
            for (int r = first; r < last; ++r)
                b.rows[r - first] = found.value(m_rowids.at(r));
        }
        it = m_blocks.insert(block, b);
        m_blockOrder.append(block);
        if (m_blockOrder.size() > kMaxBlocks) {
            m_blocks.remove(m_blockOrder.takeFirst());
            it = m_blocks.find(block);
        }
    } else if (m_blockOrder.constLast() != block) {
        m_blockOrder.removeAll(block);
        m_blockOrder.append(block);
    }
    const QVector<QVariant> &values = it->rows.at(row - block * kBlockRows);
    return values.isEmpty() ? nullptr : &values;
}

QVariant DataSource::pendingOrStored(int position) const
{
    if (position < 0 || position >= m_columns.size())
        return QVariant();
    if (m_adding || m_pending.contains(position))
        return m_pending.value(position);
    const QVector<QVariant> *values = rowValues(currentRow());
    return values ? values->at(position) : QVariant();
}

QString DataSource::asText(int position, const QVariant &v) const
{
    if (v.isNull() || !v.isValid())
        return QString();
    Q_UNUSED(position);
    switch (v.typeId()) {
    case QMetaType::Double:
        return text::formatNumber(v.toDouble());
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

QVariant DataSource::asValue(int position, const QVariant &v) const
{
    if (v.isNull() || !v.isValid())
        return QVariant();
    if (position >= 0 && position < m_isDate.size() && m_isDate.at(position)) {
        const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
        if (d.isValid())
            return d;
    }
    return v;
}

QString DataSource::text(const QString &column) const { return text(columnIndex(column)); }

QString DataSource::text(int position) const
{
    return asText(position, pendingOrStored(position));
}

QVariant DataSource::value(const QString &column) const { return value(columnIndex(column)); }

QVariant DataSource::value(int position) const
{
    return asValue(position, pendingOrStored(position));
}

bool DataSource::isNull(const QString &column) const
{
    const QVariant v = pendingOrStored(columnIndex(column));
    return v.isNull() || !v.isValid();
}

QString DataSource::textAt(int row, int position) const
{
    if (row == currentRow())
        return text(position);
    const QVector<QVariant> *values = rowValues(row);
    if (!values || position < 0 || position >= values->size())
        return QString();
    return asText(position, values->at(position));
}

QVariant DataSource::valueAt(int row, int position) const
{
    if (row == currentRow())
        return value(position);
    const QVector<QVariant> *values = rowValues(row);
    if (!values || position < 0 || position >= values->size())
        return QVariant();
    return asValue(position, values->at(position));
}

void DataSource::addNew()
{
    flushPending();
    m_posBeforeAdd = m_pos;
    m_adding = true;
    m_pending.clear();
    emit currentRowChanged(-1);
}

bool DataSource::setValue(const QString &column, const QVariant &value)
{
    const int position = columnIndex(column);
    if (position < 0)
        return fail(QStringLiteral("表 %1 中没有列 %2。").arg(m_table, column));
    return setValue(position, value);
}

bool DataSource::setValue(int position, const QVariant &value)
{
    if (position < 0 || position >= m_columns.size())
        return fail(QStringLiteral("表 %1 中没有第 %2 列。").arg(m_table).arg(position));
    if (m_isKey.at(position))
        return fail(QStringLiteral("列 %1 由数据库生成，不能写入。").arg(m_columns.at(position)));
    if (!m_adding && currentRow() < 0)
        return fail(QStringLiteral("没有当前记录，不能写入。"));
    QVariant stored = value;
    if (m_isDate.at(position)) {
        bool ok = false;
        stored = storedDate(value, &ok);
        if (!ok)
            return fail(QStringLiteral("“%1”不是有效的日期（列 %2）。")
                            .arg(value.toString(), m_columns.at(position)));
    }
    m_pending.insert(position, stored);
    return true;
}

bool DataSource::update()
{
    if (!m_adding && m_pending.isEmpty())
        return true;
    QList<int> positions = m_pending.keys();
    std::sort(positions.begin(), positions.end());
    QSqlQuery q(m_connection.database());

    if (m_adding) {
        QString sql = QStringLiteral("INSERT INTO ") + quoted(m_table);
        if (positions.isEmpty()) {
            sql += QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList names, marks;
            for (int p : positions) {
                names << quoted(m_columns.at(p));
                marks << QStringLiteral("?");
            }
            sql += QStringLiteral(" (") + names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (")
                   + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        if (!q.prepare(sql + m_connection.returning(QStringLiteral("rowid"))))
            return fail(QStringLiteral("无法添加记录：%1").arg(q.lastError().text()));
        for (int p : positions)
            q.addBindValue(m_pending.value(p));
        if (!q.exec())
            return fail(QStringLiteral("无法添加记录：%1").arg(q.lastError().text()));
        const qint64 rowid = store::Connection::insertedKey(q);
        q.finish();
        m_adding = false;
        m_pending.clear();

        // The id of a row that another connection deleted can be given out again; the stale
        // entry goes so that the result never lists a row twice.
        if (const int stale = rowOf(rowid); stale >= 0) {
            emit rowAboutToBeRemoved(stale);
            m_rowids.remove(stale);
            dropCache();
            emit rowRemoved(stale);
        }
        // In the stored order the new row goes where its id belongs; in another order, last.
        const int row = ordered() ? int(m_rowids.size())
                                  : int(std::lower_bound(m_rowids.begin(), m_rowids.end(), rowid) - m_rowids.begin());
        emit rowAboutToBeInserted(row);
        m_rowids.insert(row, rowid);
        dropCache(); // blocks read before the insertion hold the old row numbers
        emit rowInserted(row);
        setPosition(row);
        return true;
    }

    const int row = currentRow();
    if (row < 0) {
        m_pending.clear();
        return fail(QStringLiteral("没有当前记录，不能保存。"));
    }
    QStringList sets;
    for (int p : positions)
        sets << quoted(m_columns.at(p)) + QStringLiteral(" = ?");
    const QString sql = QStringLiteral("UPDATE ") + quoted(m_table) + QStringLiteral(" SET ")
                        + sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?");
    if (!q.prepare(sql))
        return fail(QStringLiteral("无法保存记录：%1").arg(q.lastError().text()));
    for (int p : positions)
        q.addBindValue(m_pending.value(p));
    q.addBindValue(m_rowids.at(row));
    if (!q.exec())
        return fail(QStringLiteral("无法保存记录：%1").arg(q.lastError().text()));
    m_pending.clear();
    dropBlockOf(row);
    emit rowChanged(row);
    return true;
}

void DataSource::cancelUpdate()
{
    m_pending.clear();
    if (m_adding) {
        m_adding = false;
        setPosition(m_posBeforeAdd);
    }
}

bool DataSource::flushPending()
{
    if (!hasPendingChanges())
        return true;
    if (update())
        return true;
    // The change cannot be written; it is dropped so the data source stays usable, and
    // errorText() keeps the reason.
    const QString error = m_error;
    cancelUpdate();
    m_error = error;
    return false;
}

bool DataSource::deleteCurrent()
{
    if (m_adding) {
        cancelUpdate();
        return true;
    }
    const int row = currentRow();
    if (row < 0)
        return fail(QStringLiteral("没有当前记录，不能删除。"));
    m_pending.clear();
    QSqlQuery q(m_connection.database());
    if (!q.prepare(QStringLiteral("DELETE FROM ") + quoted(m_table)
                   + QStringLiteral(" WHERE rowid = ?")))
        return fail(QStringLiteral("无法删除记录：%1").arg(q.lastError().text()));
    q.addBindValue(m_rowids.at(row));
    if (!q.exec())
        return fail(QStringLiteral("无法删除记录：%1").arg(q.lastError().text()));
    q.finish();
    emit rowAboutToBeRemoved(row);
    m_rowids.remove(row);
    dropCache();
    emit rowRemoved(row);
    m_pos = row;
    m_onDeleted = true;
    emit currentRowChanged(-1);
    return true;
}

} // namespace store
