#include "vouchers/listcontext.h"

#include "store/appdir.h"
#include "store/lookups.h"
#include "store/profile.h"
#include "store/statements.h"
#include "vouchers/generallayout.h"

namespace vouchers {

ListContext::ListContext(store::Connection &connection, const QDate &today)
    : m_connection(connection), m_today(today)
{
}

Counterparty ListContext::counterparty(const VoucherData &data, QList<DataProblem> &problems)
{
    const QString name = data.value(key::counterparty);
    const QList<QStringList> found = store::customersNamedExactly(m_connection, name);
    if (found.size() > 1) {
        problems.append({key::counterparty, QStringLiteral("客户资料中有 %1 个同名客户，请在客户管理中改名或删除其一")
                                                .arg(found.size())});
        return Counterparty{};
    }
    if (found.size() == 1)
        return Counterparty{found[0][0], found[0][1], found[0][2], found[0][3], found[0][4]};
    if (name.isEmpty())
        return Counterparty{};
    // Not in the address book: the list must say where the money goes or comes from.
    if (data.value(key::account).trimmed().isEmpty() || data.value(key::bank).trimmed().isEmpty()) {
        problems.append({key::counterparty,
                         QStringLiteral("“%1”不在客户资料中，请在客户设置中添加，或在本行填写账号和开户行").arg(name)});
        return Counterparty{};
    }
    return Counterparty{name, data.value(key::account), data.value(key::bank), data.value(key::province),
                        data.value(key::city)};
}

Counterparty ListContext::ownCompany()
{
    if (!m_own) {
        store::DataSource own(m_connection);
        own.setStatement(store::statements::ownCompany());
        own.refresh();
        own.moveFirst();
        m_own = Counterparty{own.text(QStringLiteral("gsmc")), own.text(QStringLiteral("zhh")),
                             own.text(QStringLiteral("khh")), own.text(QStringLiteral("hp")),
                             own.text(QStringLiteral("hc"))};
    }
    return *m_own;
}

const Calibration &ListContext::calibration(const QString &fileName, const QList<KeyBox> &keys)
{
    auto it = m_calibrations.find(fileName);
    if (it == m_calibrations.end()) {
        Calibration c(store::calibrationFile(fileName));
        c.addKeys(keys);
        c.load();
        it = m_calibrations.insert(fileName, c);
    }
    return *it;
}

QString ListContext::profileText(const QString &fileName, const QString &key)
{
    return store::Profile(store::calibrationFile(fileName)).read(QStringLiteral("MyApp"), key);
}

store::Connection &ListContext::calibrationConnection()
{
    if (!store::calibrationShared())
        return m_connection;
    if (!m_calibrationConnection)
        m_calibrationConnection = std::make_unique<store::Connection>(store::Connection::Of::Calibration);
    return *m_calibrationConnection;
}

const printing::GlobalOffsets &ListContext::globalOffsets()
{
    if (!m_global) {
        store::DataSource dytj(calibrationConnection());
        dytj.setStatement(store::statements::printOffsets());
        dytj.refresh();
        m_global = printing::readGlobalOffsets(dytj);
    }
    return *m_global;
}

const Offsets &ListContext::generalLayout()
{
    if (!m_layout) {
        GeneralLayout layout(calibrationConnection());
        layout.load();
        m_layout = layout.offsets();
    }
    return *m_layout;
}

std::optional<QDate> ListContext::date(const VoucherData &data, QList<DataProblem> &problems)
{
    const QString text = data.value(key::date);
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<QDate> d = listDate(text);
    if (!d)
        problems.append({key::date, QStringLiteral("日期“%1”不正确，应写作2010-04-14").arg(text)});
    return d;
}

} // namespace vouchers
