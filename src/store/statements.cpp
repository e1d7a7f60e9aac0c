#include "store/statements.h"

namespace store {

struct StatementMaker {
    static Statement make(const char *table, const char *condition = "", QVariantList values = {})
    {
        return Statement(QString::fromLatin1(table), QString::fromLatin1(condition),
                         std::move(values));
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

Statement customersInitialsContain(const QString &text)
{
    return StatementMaker::make("khb", "gsmczmjc LIKE ? ESCAPE '\\'", {contains(text)});
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

Statement historyByPayeeAndDates(const QString &name, const QDate &from, const QDate &to)
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
    // The name is tested against the distinct payee names, not against every row.
    return StatementMaker::make("dyb",
                                "fkrq BETWEEN ? AND ? AND skrmc IN "
                                "(SELECT skrmc FROM dyb_skrmc WHERE skrmc LIKE ? ESCAPE '\\')",
                                {iso(from), iso(to), contains(name)});
}

Statement historyPayeeBeginsWith(const QString &name)
{
    return StatementMaker::make("dyb", "skrmc IN (SELECT skrmc FROM dyb_skrmc WHERE skrmc LIKE ? ESCAPE '\\')",
                                {beginsWith(name)});
}

Statement printOffsets() { return StatementMaker::make("dytj"); }

Statement generalLayout() { return StatementMaker::make("tydysz"); }

} // namespace statements

} // namespace store
