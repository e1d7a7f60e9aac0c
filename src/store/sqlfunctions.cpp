#include "store/sqlfunctions.h"

#include "text/amount.h"
#include "text/readings.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

namespace store {

namespace {

inline unsigned char fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// Whether needle (already folded) occurs in hay, ASCII letters folded. Bytes of UTF-8 sequences
// lie outside ASCII and compare as they are, so a match of bytes is a match of characters.
bool containsFolded(const unsigned char *hay, int hayLength, const std::string &needle)
{
    const int n = int(needle.size());
    if (n == 0)
        return true;
    const unsigned char first = static_cast<unsigned char>(needle[0]);
    for (int i = 0; i + n <= hayLength; ++i) {
        if (fold(hay[i]) != first)
            continue;
        int k = 1;
        while (k < n && fold(hay[i + k]) == static_cast<unsigned char>(needle[k]))
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

// The typed text as the three forms are searched for it, made once per statement.
struct Needle {
    explicit Needle(std::string typed) : folded(std::move(typed)), pattern(QByteArray::fromStdString(folded))
    {
        for (char &c : folded)
            c = char(fold(static_cast<unsigned char>(c)));
    }
    std::string folded;            // for the two initials forms, ASCII letters in capitals
    text::InitialsPattern pattern; // for the readings form (initialised from the text before folding)
};

void deleteNeedle(void *p) { delete static_cast<Needle *>(p); }

void initialsMatch(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[3]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // The text is the same for every row of a statement: it is prepared once and kept with it.
    std::unique_ptr<Needle> made;
    const auto *needle = static_cast<const Needle *>(sqlite3_get_auxdata(context, 3));
    if (!needle) {
        const auto *text = sqlite3_value_text(argv[3]);
        made = std::make_unique<Needle>(std::string(reinterpret_cast<const char *>(text),
                                                    size_t(sqlite3_value_bytes(argv[3]))));
        needle = made.get();
    }
    int result = -1; // NULL: no form holds a text
    for (int i = 0; i < 3 && result != 1; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        const auto *hay = sqlite3_value_text(argv[i]);
        const int length = sqlite3_value_bytes(argv[i]);
        const bool found = hay
            && (i < 2 ? containsFolded(hay, length, needle->folded)
                      : needle->pattern.foundIn(reinterpret_cast<const char *>(hay), length));
        result = found ? 1 : 0;
    }
    if (result < 0)
        sqlite3_result_null(context);
    else
        sqlite3_result_int(context, result);
    // Last: SQLite may discard the kept text at once, before this call returns.
    if (made)
        sqlite3_set_auxdata(context, 3, made.release(), deleteNeedle);
}

bool asciiBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// An amount text of ASCII bytes in fen, as text::parseFen reads it, without making a QString of
// every row: a sum over a long history calls this once per row. False when the text holds other
// bytes; *fen stays unset (and *ok false) when it is no amount.
bool asciiFen(const unsigned char *s, int n, qint64 *fen, bool *ok)
{
    *ok = false;
    int i = 0;
    while (i < n && asciiBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    qint64 value = 0;
    int significant = 0; // digits of the value from the first non-zero one
    int decimals = -1;   // digits after the point; -1 before the point
    int kept = 0;        // decimals taken into the value (at most two)
    bool digit = false;
    for (; i < n; ++i) {
        const unsigned char c = s[i];
        if (c >= 0x80)
            return false;
        if (c >= '0' && c <= '9') {
            digit = true;
            if (decimals >= 0) {
                ++decimals;
                if (kept == 2) {
                    if (c != '0')
                        return true; // a fraction of a fen
                    continue;
                }
                ++kept;
            }
            if (significant > 0 || c != '0')
                ++significant;
            if (significant > 18)
                return true; // parseFen reads at most 18 fen digits, far beyond any voucher
            value = value * 10 + (c - '0');
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    while (i < n && asciiBlank(s[i]))
        ++i;
    for (int k = i; k < n; ++k)
        if (s[k] >= 0x80)
            return false; // a blank of another kind may follow: the full reading decides
    if (!digit || i != n || (significant > 0 && significant + 2 - kept > 18))
        return true;
    for (; kept < 2; ++kept)
        value *= 10;
    *fen = negative ? -value : value;
    *ok = true;
    return true;
}

void amountFen(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = sqlite3_value_text(argv[0]);
    const int length = sqlite3_value_bytes(argv[0]);
    qint64 fen = 0;
    bool ok = false;
    if (!asciiFen(text, length, &fen, &ok)) {
        // Full-width digits and points, typed with a Chinese input method on.
        const std::optional<qint64> parsed =
            text::parseFen(QString::fromUtf8(reinterpret_cast<const char *>(text), length));
        ok = parsed.has_value();
        fen = parsed.value_or(0);
    }
    if (ok)
        sqlite3_result_int64(context, fen);
    else
        sqlite3_result_null(context);
}

} // namespace

QString registerFunctions(QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return QStringLiteral("数据库驱动没有提供 SQLite 连接。");
    sqlite3 *raw = *static_cast<sqlite3 *const *>(handle.constData());
    if (!raw)
        return QStringLiteral("数据库连接没有打开。");
    const int rc = sqlite3_create_function_v2(raw, "initials_match", 4,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                              initialsMatch, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(raw));
    if (sqlite3_create_function_v2(raw, "amount_fen", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                   nullptr, amountFen, nullptr, nullptr, nullptr)
        != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(raw));
    return QString();
}

} // namespace store
