#include "text/amount.h"

#include "text/numbers.h"

#include <limits>
#include <string>

namespace text {

namespace {

const QString kDigits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
// The ten-place table is the tail of the eleven-place one.
const QString kPlaces = QStringLiteral("亿仟佰拾万仟佰拾元角分");
constexpr char16_t kYi = u'亿';
constexpr char16_t kWan = u'万';
constexpr char16_t kYuan = u'元';
constexpr char16_t kYuanSign = u'￥';

// A decimal number held as its digits, so that 0.29 stays 29 fen instead of 28.999...
struct Decimal {
    bool negative = false;
    bool anyDigit = false;
    std::string whole;    // no leading zeros; empty for zero
    std::string fraction; // no trailing zeros

    bool isZero() const { return whole.empty() && fraction.empty(); }
    bool wholeFen() const { return fraction.size() <= 2; }
    // The value in fen as digits without leading zeros, "0" for zero; wholeFen() must hold.
    std::string fenDigits() const
    {
        std::string f = whole + fraction;
        f.append(2 - fraction.size(), '0');
        const auto first = f.find_first_not_of('0');
        return first == std::string::npos ? std::string("0") : f.substr(first);
    }
};

bool isBlank(QChar c) { return c.isSpace(); }

// Reads an optional sign, digits and at most one point from position i; returns where the number
// ends. Leading blanks are skipped the same way as QString::trimmed() drops them, so the live
// display and the print check read " 5" alike.
int scanDecimal(const QString &s, int i, Decimal &d)
{
    const int n = s.size();
    while (i < n && isBlank(s[i]))
        ++i;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        d.negative = s[i++] == QLatin1Char('-');
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c >= u'0' && c <= u'9') {
            d.anyDigit = true;
            if (point)
                d.fraction.push_back(char(c));
            else if (c != u'0' || !d.whole.empty())
                d.whole.push_back(char(c));
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (!d.fraction.empty() && d.fraction.back() == '0')
        d.fraction.pop_back();
    if (d.isZero())
        d.negative = false; // "-0" is zero, not a negative amount
    return i;
}

// Full-width digits and points, as a Chinese input method types them, read as ASCII.
Decimal leadingDecimal(const QString &typed)
{
    Decimal d;
    scanDecimal(halfWidth(typed), 0, d);
    return d;
}

// The whole trimmed text as one plain decimal number, or nothing.
std::optional<Decimal> wholeDecimal(const QString &typed)
{
    const QString s = halfWidth(typed);
    Decimal d;
    const int end = scanDecimal(s, 0, d);
    int rest = end;
    while (rest < s.size() && isBlank(s[rest]))
        ++rest;
    if (!d.anyDigit || rest != s.size())
        return std::nullopt;
    return d;
}

// Fen text of an amount the vouchers cannot write, keeping what makes it so: "-500", "123.4".
QString exactFenText(const Decimal &d)
{
    std::string f = d.whole;
    std::string frac = d.fraction;
    if (frac.size() < 2)
        frac.append(2 - frac.size(), '0');
    f += frac.substr(0, 2);
    const auto first = f.find_first_not_of('0');
    f = first == std::string::npos ? std::string("0") : f.substr(first);
    if (frac.size() > 2)
        f += '.' + frac.substr(2);
    if (d.negative)
        f.insert(f.begin(), '-');
    return QString::fromLatin1(f.data(), int(f.size()));
}

QString capitalWordsOf(const char *fen, int length, AmountVariant v)
{
    const int places = amountPlaces(v);
    if (length < 1 || length > places)
        return QString();
    // The digit of a place counted from the 分 end; 万 is position 6, its group 6 to 9.
    auto digitAt = [&](int fromRight) {
        return fromRight < length ? fen[length - 1 - fromRight] : '0';
    };
    QString out;
    out.reserve(2 * length + 1);
    int zeros = 0;
    for (int i = 0; i < length; ++i) {
        const int d = fen[i] - '0';
        const QChar unit = kPlaces[kPlaces.size() - length + i];
        if (d == 0) {
            ++zeros;
            bool keep = unit == kYi || unit == kYuan;
            if (unit == kWan)
                keep = digitAt(7) != '0' || digitAt(8) != '0' || digitAt(9) != '0';
            if (keep)
                out += unit;
        } else {
            if (zeros != 0)
                out += kDigits[0];
            zeros = 0;
            out += kDigits[d];
            out += unit;
        }
    }
    if (fen[length - 1] == '0')
        out += QChar(u'整');
    return out;
}

} // namespace

int amountPlaces(AmountVariant v) { return v == AmountVariant::TenPlaces ? 10 : 11; }

QString capitalWords(const QString &fenDigits, AmountVariant v)
{
    const QByteArray f = fenDigits.toLatin1();
    for (char c : f) {
        if (c < '0' || c > '9')
            return QString();
    }
    if (f.size() > 1 && f[0] == '0')
        return QString();
    return capitalWordsOf(f.constData(), int(f.size()), v);
}

AmountDisplay convertAmount(const QString &amountText, AmountVariant v, int cellCount)
{
    AmountDisplay out;
    const Decimal d = leadingDecimal(amountText);
    if (d.negative || !d.wholeFen()) {
        out.fen = exactFenText(d);
        for (int k = 0; k < cellCount; ++k)
            out.cells.append(QString());
        return out;
    }
    const std::string fen = d.fenDigits();
    const int length = int(fen.size());
    out.fen = QString::fromLatin1(fen.data(), length);
    out.words = capitalWordsOf(fen.data(), length, v);
    if (length > cellCount) {
        out.cellsChanged = false;
        return out;
    }
    out.cells.reserve(cellCount);
    for (int k = 0; k < cellCount; ++k) {
        if (k < length)
            out.cells.append(QString(QChar(fen[length - 1 - k])));
        else if (k == length)
            out.cells.append(QString(QChar(kYuanSign)));
        else
            out.cells.append(QString());
    }
    return out;
}

std::optional<qint64> parseFen(const QString &amountText)
{
    const std::optional<Decimal> d = wholeDecimal(amountText);
    if (!d || !d->wholeFen())
        return std::nullopt;
    const std::string fen = d->fenDigits();
    if (fen.size() > size_t(std::numeric_limits<qint64>::digits10))
        return std::nullopt; // 18 digits always fit; longer ones are far beyond any voucher
    qint64 value = 0;
    for (char c : fen)
        value = value * 10 + (c - '0');
    return d->negative ? -value : value;
}

AmountProblem checkPrintable(const QString &amountText, AmountVariant v)
{
    if (halfWidth(amountText).trimmed().isEmpty())
        return AmountProblem::Empty;
    const std::optional<Decimal> d = wholeDecimal(amountText);
    if (!d)
        return AmountProblem::NotANumber;
    if (d->negative)
        return AmountProblem::Negative;
    if (!d->wholeFen())
        return AmountProblem::TooManyDecimals;
    if (d->isZero())
        return AmountProblem::Zero;
    if (d->whole.size() + 2 > size_t(amountPlaces(v)))
        return AmountProblem::TooLarge;
    return AmountProblem::None;
}

QString amountProblemMessage(AmountProblem p)
{
    switch (p) {
    case AmountProblem::None:
        return QString();
    case AmountProblem::Empty:
        return QStringLiteral("金额不能为空");
    case AmountProblem::NotANumber:
        return QStringLiteral("金额只能包含数字和小数点");
    case AmountProblem::Zero:
        return QStringLiteral("金额必须大于零");
    case AmountProblem::Negative:
        return QStringLiteral("金额不能为负数");
    case AmountProblem::TooManyDecimals:
        return QStringLiteral("金额最多两位小数");
    case AmountProblem::TooLarge:
        return QStringLiteral("金额超出凭证可打印的位数");
    }
    return QString();
}

QString currencyText(const QString &amountText)
{
    const Decimal d = leadingDecimal(amountText);
    if (!d.anyDigit || d.negative || !d.wholeFen())
        return QString();
    const std::string whole = d.whole.empty() ? std::string("0") : d.whole;
    QString out;
    out.reserve(int(whole.size() + whole.size() / 3 + 4));
    out += QChar(kYuanSign);
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i != 0 && (whole.size() - i) % 3 == 0)
            out += QLatin1Char(',');
        out += QLatin1Char(whole[i]);
    }
    out += QLatin1Char('.');
    out += QLatin1Char(d.fraction.size() > 0 ? d.fraction[0] : '0');
    out += QLatin1Char(d.fraction.size() > 1 ? d.fraction[1] : '0');
    return out;
}

} // namespace text
