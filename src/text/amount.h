#pragma once
// Voucher amounts: the typed amount as capital words, digit cells and currency text, and the
// check that an amount may be printed.

#include <QString>
#include <QStringList>

#include <optional>

namespace text {

// Every function here reads full-width digits, signs and points ("１２３４．５６", typed with a
// Chinese input method on) as their ASCII forms.

// The cheque writes amounts over ten places (千万 down to 分), every other voucher over eleven
// (亿 down to 分).
enum class AmountVariant { TenPlaces, ElevenPlaces };

// Number of fen digits the variant can write: 10 or 11.
int amountPlaces(AmountVariant v);

// What the amount field shows after every change of the amount text.
struct AmountDisplay {
    // The amount in fen as plain decimal text, exactly as typed (no binary rounding): "29" for
    // 0.29. Amounts the voucher cannot write keep their sign or fraction: "-500", "123.4".
    QString fen;
    // Capital words (壹仟元零伍角整); empty when the amount cannot be written in the variant's
    // places (negative, a fraction of a fen, or too many places).
    QString words;
    // False when the cells are to keep what they show (the amount has more digits than cells).
    bool cellsChanged = true;
    // cells[0] is 分, cells[1] 角, cells[2] 元 ... one entry per cell when cellsChanged.
    QStringList cells;
};

// The live conversion run on every keystroke. The amount is the decimal number at the start of
// the text (blanks skipped, digits and one point, the first other character ends it; no number
// is 0), read straight to whole fen. An amount of L fen digits with 1 <= L <= cellCount spreads
// its digits over the cells from the right, puts "￥" in the cell left of the highest digit and
// empties the cells above. A longer amount leaves the cells as they are. A negative amount or a
// fraction of a fen empties every cell and the words: no digit is shown for an amount that cannot
// be printed.
AmountDisplay convertAmount(const QString &amountText, AmountVariant v, int cellCount);

// Capital words for a whole number of fen given as digits without leading zeros ("0" for zero),
// or an empty text when the digits exceed the variant's places. 万 is written after a zero digit
// only when its four-digit group is not all zero, so 10000000000 reads 壹亿元整.
QString capitalWords(const QString &fenDigits, AmountVariant v);

// The whole text (blanks around it allowed) read as a plain decimal number of whole fen:
// "19.99" -> 1999, " -5 " -> -500, "1.230" -> 123. Nothing for "", "12abc", "1,000", "1.234"
// or a value beyond the range of qint64.
std::optional<qint64> parseFen(const QString &amountText);

enum class AmountProblem { None, Empty, NotANumber, Zero, Negative, TooManyDecimals, TooLarge };

// Whether the amount text may go onto a printed voucher of the variant, and if not, why. Checked
// in the order empty, not a number, negative, more than two decimals, zero, too many places.
AmountProblem checkPrintable(const QString &amountText, AmountVariant v);

// The message the voucher windows show for a problem; empty for None.
QString amountProblemMessage(AmountProblem p);

// The amount as the cheque's counterfoil shows it: ￥, thousands separators and two decimals
// (1000.5 -> ￥1,000.50). The amount is read as by convertAmount; the text is empty when it holds
// no number, is negative or holds a fraction of a fen.
QString currencyText(const QString &amountText);

} // namespace text
