#include "vouchers/printtable.h"

#include "text/numbers.h"
#include "ui/fonts.h"
#include "printing/pagewriter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>

namespace vouchers {

namespace {
double offsetOf(const Offsets &offsets, const QString &key)
{
    return key.isEmpty() ? 0.0 : offsets.value(key, 0.0);
}
} // namespace

void setSpace(PrintField &field, const QString &name, double space)
{
    field.name = name;
    field.space = space;
}

double textWidth(const QString &text, double points)
{
    if (!QGuiApplication::instance() || text.isEmpty())
        return 0;
    // Measured on a device of 1440 dots per inch, where a pixel is a twip.
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_Mono);
        const int dotsPerMetre = qRound(1440 / 0.0254);
        img.setDotsPerMeterX(dotsPerMetre);
        img.setDotsPerMeterY(dotsPerMetre);
        return img;
    }();
    // A list of vouchers measures the same names and labels again and again: each is shaped once.
    // The fonts and widths are the window thread's (fonts are not shared between threads).
    static QString family;
    static QHash<double, QFontMetricsF> metrics;
    static QHash<std::pair<double, QString>, double> widths;
    if (const QString now = ui::songFamily(); now != family) {
        family = now; // the fonts were set up (again): measure afresh
        metrics.clear();
        widths.clear();
    }
    const std::pair<double, QString> key(points, text);
    if (const auto known = widths.constFind(key); known != widths.constEnd())
        return *known;
    auto m = metrics.find(points);
    if (m == metrics.end()) {
        QFont font(family);
        font.setPointSizeF(points);
        m = metrics.insert(points, QFontMetricsF(font, &device));
    }
    if (widths.size() > 100000)
        widths.clear(); // a bound, not a cache policy: lists seldom hold that many different texts
    return widths.insert(key, m->horizontalAdvance(text)).value();
}

double fittedSize(const QString &text, double points, double space, bool *tooWide)
{
    double size = points;
    if (space > 0)
        while (size - 0.5 >= kSmallestPoints && textWidth(text, size) > space)
            size -= 0.5;
    if (tooWide)
        *tooWide = space > 0 && textWidth(text, size) > space;
    return size;
}

void printField(PageWriter &w, const PrintField &f, double x0, double y0, const Offsets &offsets, EmptyTexts empty)
{
    w.setCurrentX(f.baseX + x0 + offsetOf(offsets, f.xKey) + f.step * offsetOf(offsets, f.stepKey));
    w.setCurrentY(offsetOf(offsets, f.yKey) + y0 + f.baseY);
    bool tooWide = false;
    w.setFontSize(f.space > 0 && !f.text.isEmpty() ? fittedSize(f.text, f.points, f.space, &tooWide) : f.points);
    if (!f.name.isEmpty())
        w.nextText(f.name, tooWide);
    if (!f.text.isEmpty() || empty == EmptyTexts::Print)
        w.printText(f.text);
}

void printFields(PageWriter &w, int pageHeight, int pageWidth, double x0, double y0,
                 const QList<PrintField> &fields, const Offsets &offsets, EmptyTexts empty)
{
    w.setPageHeight(pageHeight);
    w.setPageWidth(pageWidth);
    for (const PrintField &f : fields)
        printField(w, f, x0, y0, offsets, empty);
    w.endDocument();
}

Overall overallOffsets(const Offsets &offsets, const QString &xKey, const QString &yKey)
{
    return {offsets.value(xKey, 0.0), text::roundHalfEven(offsets.value(yKey, 0.0))};
}

} // namespace vouchers
