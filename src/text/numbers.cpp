#include "text/numbers.h"

#include <cmath>
#include <cstdio>

namespace text {

QString halfWidth(const QString &s)
{
    QString out = s;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
        else if (u == 0x3002)
            c = QLatin1Char('.');
    }
    return out;
}

double leadingNumber(const QString &typed)
{
    const QString s = halfWidth(typed);
    int i = 0;
    const int n = s.size();
    while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    QByteArray digits;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        digits.append(char(s[i++].unicode()));
    bool point = false;
    bool any = false;
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.append(char(c.unicode()));
            any = true;
        } else if (c == QLatin1Char('.') && !point) {
            digits.append('.');
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return 0.0;
    return std::strtod(digits.constData(), nullptr);
}

QString formatNumber(double v)
{
    if (v == 0.0 || !std::isfinite(v))
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    QString out = QString::fromLatin1(buf);
    if (out.contains(QLatin1Char('e'))) {
        // Keep plain decimal notation for every value a calibration can take.
        std::snprintf(buf, sizeof buf, "%.15f", v);
        out = QString::fromLatin1(buf);
        if (out.contains(QLatin1Char('.'))) {
            while (out.endsWith(QLatin1Char('0')))
                out.chop(1);
            if (out.endsWith(QLatin1Char('.')))
                out.chop(1);
        }
    }
    return out;
}

double roundHalfEven(double v)
{
    const double r = std::nearbyint(v); // the default rounding mode rounds halves to even
    return r == 0.0 ? 0.0 : r;
}

int wholeMillimetres(double stored) { return int(std::floor(stored / kTwipsPerMm)); }

} // namespace text
