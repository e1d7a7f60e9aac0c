#include "storefixture.h"

#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"

StoreFixture::StoreFixture() { m_ok = m_dir.isValid() && store::ensureDatabase().ok; }

QStringList StoreFixture::column(const store::Statement &statement, const QString &name)
{
    store::Connection connection;
    store::DataSource rows(connection);
    rows.setStatement(statement);
    rows.refresh();
    QStringList out;
    const int position = rows.columnIndex(name);
    for (int i = 0; i < rows.recordCount(); ++i)
        out << rows.textAt(i, position);
    return out;
}

bool StoreFixture::append(const store::Statement &table, const QVariantList &values)
{
    store::Connection connection;
    store::DataSource rows(connection);
    rows.setStatement(table);
    rows.refresh();
    rows.addNew();
    for (int i = 0; i < values.size(); ++i)
        if (!values[i].isNull())
            rows.setValue(i, values[i]);
    return rows.update();
}

void StoreFixture::removeAll(const store::Statement &statement)
{
    store::Connection connection;
    store::DataSource rows(connection);
    rows.setStatement(statement);
    rows.refresh();
    while (rows.recordCount() > 0) {
        rows.moveFirst();
        if (!rows.deleteCurrent())
            return;
        rows.refresh();
    }
}
