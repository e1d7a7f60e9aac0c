#include "store/statements.h"

#include "store/connection.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace store {

struct StatementMaker {
    static Statement make(const char *table, const char *condition = "", QVariantList values = {})
    {
        return Statement(QString::fromLatin1(table), QString::fromLatin1(condition),
                         std::move(values));
    }
    static Statement withAlternative(Statement s, const char *condition, QVariantList values)
    {
        s.m_alternative = QString::fromLatin1(condition);
        s.m_alternativeValues = std::move(values);
        return s;
    }
    static Statement withScan(Statement s, QString condition, QVariantList values)
    {
        s.m_scan = std::move(condition);
        s.m_scanValues = std::move(values);
        return s;
    }
    // Every form of s narrowed by more conditions (" AND ...") with their values.
    static Statement narrowed(Statement s, const QString &more, const QVariantList &values)
    {
        s.m_condition += more;
        s.m_values += values;
        if (!s.m_alternative.isEmpty()) {
            s.m_alternative += more;
            s.m_alternativeValues += values;
        }
        if (!s.m_scan.isEmpty()) {
            s.m_scan += more;
            s.m_scanValues += values;
        }
        return s;
    }
    static Statement ordered(Statement s, QString order)
    {
        s.m_order = std::move(order);
        return s;
    }
    static Statement alternativeOf(const Statement &s) { return form(s, s.m_alternative, s.m_alternativeValues); }
    static Statement scanOf(const Statement &s) { return form(s, s.m_scan, s.m_scanValues); }
    static Statement primaryOf(const Statement &s) { return form(s, s.m_condition, s.m_values); }

private:
    static Statement form(const Statement &s, const QString &condition, const QVariantList &values)
    {
        Statement out(s.m_table, condition, values);
        out.m_order = s.m_order;
        return out;
    }
};

namespace statements {

namespace {

// Binding a null QString would compare with NULL and find nothing; the user's empty text is ''.
QVariant text(const QString &s) { return QVariant(s.isNull() ? QStringLiteral("") : s); }

QVariant beginsWith(const QString &s) { return likeLiteral(s) + QLatin1Char('%'); }

QVariant contains(const QString &s) { return QLatin1Char('%') + likeLiteral(s) + QLatin1Char('%'); }

} // namespace

QString likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

Statement customers() { return StatementMaker::make("khb"); }

Statement customersNamed(const QString &name)
{
    return StatementMaker::make("khb", "gsmc = ?", {text(name)});
}

Statement customersBeginningWith(const QString &name)
{
    return StatementMaker::make("khb", "gsmc LIKE ? ESCAPE '\\'", {beginsWith(name)});
}

Statement customersNameContains(const QString &text)
{
    return StatementMaker::make("khb", "gsmc LIKE ? ESCAPE '\\'", {contains(text)});
}

Statement customersInitialsContain(const QString &typed)
{
    // Any stored form: gsmczmjc, from the GB 2312 intervals, as like '%typed%' always found it;
    // gsmcdyjc, the common readings' initials, as a save before version 3 stored them; gsmcdyzm,
    // every reading of each character. One call per row tests the three (sqlfunctions.h).
    return StatementMaker::make("khb", "initials_match(gsmczmjc, gsmcdyjc, gsmcdyzm, ?)", {text(typed)});
}

Statement customersForAppending() { return StatementMaker::make("khb", "0"); }

Statement ownCompany() { return StatementMaker::make("bssz"); }

Statement purposes() { return StatementMaker::make("ytb"); }

Statement purposeNamed(const QString &yt)
{
    return StatementMaker::make("ytb", "yt = ?", {text(yt)});
}

Statement history() { return StatementMaker::make("dyb"); }

Statement historyForAppending() { return StatementMaker::make("dyb", "0"); }

Statement historyByPayeeAndDates(const QString &name, const QDate &from, const QDate &to, PayeePlan plan)
{
    // Dates are stored as ISO text, whose order is the calendar's; an invalid date binds NULL
    // and finds nothing.
    const auto iso = [](const QDate &d) {
        return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant();
    };
    // Every payee name contains the empty text: the date range alone decides (a row without
    // a payee is never found, as with like).
    if (name.isEmpty())
        return StatementMaker::make("dyb", "fkrq BETWEEN ? AND ? AND skrmc IS NOT NULL", {iso(from), iso(to)});
    // Names first: the text is tested against the distinct payee names, not against every row,
    // and the matching names' rows are sought by (skrmc, fkrq).
    const Statement namesFirst = StatementMaker::make("dyb",
                                                      "fkrq BETWEEN ? AND ? AND skrmc IN "
                                                      "(SELECT skrmc FROM dyb_skrmc WHERE skrmc LIKE ? ESCAPE '\\')",
                                                      {iso(from), iso(to), contains(name)});
    // Dates first: the range is read from the (fkrq, skrmc) index, which holds the payee to test.
    const char *datesFirst = "fkrq BETWEEN ? AND ? AND skrmc LIKE ? ESCAPE '\\'";
    switch (plan) {
    case PayeePlan::NamesFirst:
        return namesFirst;
    case PayeePlan::DatesFirst:
        return StatementMaker::make("dyb", datesFirst, {iso(from), iso(to), contains(name)});
    case PayeePlan::Cheaper:
        break;
    }
    return StatementMaker::withAlternative(namesFirst, datesFirst, {iso(from), iso(to), contains(name)});
}

Statement historyPayeeBeginsWith(const QString &name)
{
    return StatementMaker::make("dyb", "skrmc IN (SELECT skrmc FROM dyb_skrmc WHERE skrmc LIKE ? ESCAPE '\\')",
                                {beginsWith(name)});
}

namespace {

// The number of distinct payee names, counted once per connection and counted again when the
// history has grown by so many rows that the count could be off by half.
struct NameCount {
    int generation = -1;
    qint64 lastRowid = -1;
    qint64 names = 0;
};

qint64 number(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).isNull() ? 0 : q.value(0).toLongLong();
}

} // namespace

Statement cheaperForm(const Statement &statement, Connection &connection)
{
    if (!statement.hasAlternative() && !statement.hasScan())
        return statement;
    const Statement namesFirst = StatementMaker::primaryOf(statement);
    const QVariantList values = statement.values();
    const QDate from = QDate::fromString(values.value(0).toString(), Qt::ISODate);
    const QDate to = QDate::fromString(values.value(1).toString(), Qt::ISODate);
    if (!from.isValid() || !to.isValid() || from > to)
        return namesFirst; // finds nothing either way

    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    // Each is one look-up in an index or at an end of the table.
    const qint64 firstRowid = number(q, QStringLiteral("SELECT min(rowid) FROM dyb"));
    const qint64 lastRowid = number(q, QStringLiteral("SELECT max(rowid) FROM dyb"));
    QDate first, last;
    if (q.exec(QStringLiteral("SELECT (SELECT min(fkrq) FROM dyb), (SELECT max(fkrq) FROM dyb)")) && q.next()) {
        first = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        last = QDate::fromString(q.value(1).toString(), Qt::ISODate);
    }
    if (firstRowid < 0 || lastRowid < 0 || !first.isValid() || !last.isValid())
        return namesFirst;
    // Rows spread over the history's days as evenly as vouchers are printed.
    const qint64 rows = lastRowid - firstRowid + 1;
    const qint64 overlap =
        std::max<qint64>(0, std::min(to, last).toJulianDay() - std::max(from, first).toJulianDay() + 1);
    const double inRange = double(rows) * double(overlap) / double(last.toJulianDay() - first.toJulianDay() + 1);
    if (statement.hasScan() && inRange > double(rows) / 20)
        return StatementMaker::scanOf(statement);
    if (!statement.hasAlternative())
        return namesFirst;

    static QHash<QString, NameCount> counts;
    NameCount &count = counts[connection.name()];
    if (count.generation != connection.generation() || lastRowid < count.lastRowid
        || lastRowid - count.lastRowid > std::max<qint64>(1000, count.names / 2)) {
        const qint64 names = number(q, QStringLiteral("SELECT count(*) FROM dyb_skrmc"));
        if (names < 0)
            return namesFirst;
        count = {connection.generation(), lastRowid, names};
    }
    return inRange <= double(count.names) ? StatementMaker::alternativeOf(statement) : namesFirst;
}

Statement historyOfPayeeBetween(const QString &name, const QDate &from, const QDate &to)
{
    const auto iso = [](const QDate &d) { return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant(); };
    // One seek in the (skrmc, fkrq) index.
    return StatementMaker::make("dyb", "skrmc = ? AND fkrq BETWEEN ? AND ?", {text(name), iso(from), iso(to)});
}

Statement historySearch(const HistoryFilter &f)
{
    const auto iso = [](const QDate &d) { return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant(); };
    QString more;
    QVariantList values;
    if (!f.number.isEmpty()) {
        more += QLatin1String(" AND pzhm LIKE ? ESCAPE '\\'");
        values << contains(f.number);
    }
    if (!f.type.isEmpty()) {
        more += QLatin1String(" AND pzlx = ?");
        values << text(f.type);
    }
    if (f.minFen && f.maxFen) {
        more += QLatin1String(" AND amount_fen(fkje) BETWEEN ? AND ?");
        values << *f.minFen << *f.maxFen;
    } else if (f.minFen) {
        more += QLatin1String(" AND amount_fen(fkje) >= ?");
        values << *f.minFen;
    } else if (f.maxFen) {
        more += QLatin1String(" AND amount_fen(fkje) <= ?");
        values << *f.maxFen;
    }
    // The payee as the plain like tests it, on every row read; "+" keeps SQLite from answering
    // from an index, which would fetch every row it names one by one.
    const QString payeeTest = f.payee.isEmpty() ? QStringLiteral("+skrmc IS NOT NULL")
                                                : QStringLiteral("skrmc LIKE ? ESCAPE '\\'");
    const QVariantList payeeValue = f.payee.isEmpty() ? QVariantList() : QVariantList{contains(f.payee)};

    if (!f.anyDate) {
        const Statement byPayee = historyByPayeeAndDates(f.payee, f.from, f.to);
        if (more.isEmpty())
            return byPayee;
        // The rows found by the indexes are fetched to test the rest; over a wide range the table
        // is read instead.
        const Statement withScan = StatementMaker::withScan(
            byPayee, QStringLiteral("+fkrq BETWEEN ? AND ? AND ") + payeeTest,
            QVariantList{iso(f.from), iso(f.to)} + payeeValue);
        return StatementMaker::narrowed(withScan, more, values);
    }
    // Any date: a payee alone is sought name by name in the (skrmc, fkrq) index; anything more
    // is tested on every row of the table.
    if (more.isEmpty() && !f.payee.isEmpty())
        return StatementMaker::make("dyb", "skrmc IN (SELECT skrmc FROM dyb_skrmc WHERE skrmc LIKE ? ESCAPE '\\')",
                                    {contains(f.payee)});
    return StatementMaker::narrowed(StatementMaker::make("dyb"), payeeTest + more, payeeValue + values);
}

Statement historyOrderedBy(const Statement &statement, const QString &column, bool descending)
{
    // The columns of dyb by name: the order text is made from this list only.
    static const char *const kColumns[] = {"xh",     "dyrq",   "fkrq",  "pzlx",   "pzhm",  "fkje", "fkyt", "fkrmc",
                                           "fkrzhh", "fkrkhh", "skrmc", "skrzhh", "skrkhh", "sheng", "shi"};
    QString key;
    for (const char *c : kColumns)
        if (column.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            key = QLatin1String(c);
    if (key.isEmpty() || statement.table() != QLatin1String("dyb"))
        return StatementMaker::ordered(statement, QString());
    if (key == QLatin1String("fkje"))
        key = QStringLiteral("amount_fen(fkje)");
    return StatementMaker::ordered(statement, key + (descending ? QStringLiteral(" DESC") : QString())
                                                  + QStringLiteral(", rowid"));
}

AmountTotal historyAmountTotal(const Statement &statement, Connection &connection)
{
    AmountTotal total;
    if (statement.table() != QLatin1String("dyb")) {
        total.error = QStringLiteral("只有打印记录才有金额合计。");
        return total;
    }
    const Statement form = cheaperForm(statement, connection);
    QString sql =
        QStringLiteral("SELECT count(*), coalesce(sum(amount_fen(fkje)), 0), count(amount_fen(fkje)) FROM dyb");
    if (!form.condition().isEmpty())
        sql += QStringLiteral(" WHERE ") + form.condition();
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        total.error = q.lastError().text();
        return total;
    }
    for (const QVariant &v : form.values())
        q.addBindValue(v);
    if (!q.exec() || !q.next()) {
        total.error = q.lastError().text();
        return total;
    }
    total.rows = q.value(0).toLongLong();
    total.fen = q.value(1).toLongLong();
    total.unreadable = total.rows - q.value(2).toLongLong();
    total.ok = true;
    return total;
}

Statement printOffsets() { return StatementMaker::make("dytj"); }

Statement generalLayout() { return StatementMaker::make("tydysz"); }

} // namespace statements

} // namespace store
