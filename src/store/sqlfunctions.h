#pragma once
// SQL functions of the program's own, which every connection registers when it opens and the
// statement catalogue uses.

#include <QSqlDatabase>
#include <QString>

namespace store {

// Registers on an open connection:
//   initials_match(a, b, sets, text): 1 when text occurs in a or in b, ASCII letters compared
//   regardless of case (as like '%text%' with the text taken literally), or when text is found in
//   the readings form sets as text::InitialsPattern finds it (one initial of each character in
//   turn, whichever reading); 0 when in none, NULL when a, b and sets are all NULL. One call tests
//   the three stored forms of a customer's initials: the search over every customer costs one
//   function call per row.
//   amount_fen(text): an amount as typed (fkje) in whole fen, as text::parseFen reads it
//   ("1234.5" -> 123450, full-width digits too); NULL for a text that is no amount ("1,000",
//   "12abc", a fraction of a fen) and for NULL. Sums, searches and orders amounts by value.
// Empty on success, otherwise what failed.
QString registerFunctions(QSqlDatabase &db);

} // namespace store
