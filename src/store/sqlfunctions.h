#pragma once
// SQL functions of the program's own, which every connection registers when it opens and the
// statement catalogue uses.

#include <QSqlDatabase>
#include <QString>

namespace store {

// Registers on an open connection:
//   initials_contain(a, b, text): 1 when text occurs in a or in b, ASCII letters compared
//   regardless of case (as like '%text%' with the text taken literally), 0 when in neither,
//   NULL when both are NULL. One call tests both stored forms of a customer's initials: the
//   search over every customer costs one function call per row, not two.
// Empty on success, otherwise what failed.
QString registerFunctions(QSqlDatabase &db);

} // namespace store
