#include "store/statements.h"

#include "store/connection.h"

#include <QHash>
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
    static Statement alternativeOf(const Statement &s)
    {
        return Statement(s.m_table, s.m_alternative, s.m_alternativeValues);
    }
    static Statement primaryOf(const Statement &s) { return Statement(s.m_table, s.m_condition, s.m_values); }
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
    if (!statement.hasAlternative())
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

Statement printOffsets() { return StatementMaker::make("dytj"); }

Statement generalLayout() { return StatementMaker::make("tydysz"); }

} // namespace statements

} // namespace store
