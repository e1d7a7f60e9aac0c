#include "vouchers/printtable.h"

#include "text/numbers.h"
#include "vouchers/pagewriter.h"

namespace vouchers {

namespace {
double offsetOf(const Offsets &offsets, const QString &key)
{
    return key.isEmpty() ? 0.0 : offsets.value(key, 0.0);
}
} // namespace

void printField(PageWriter &w, const PrintField &f, double x0, double y0, const Offsets &offsets, EmptyTexts empty)
{
    w.setCurrentX(f.baseX + x0 + offsetOf(offsets, f.xKey) + f.step * offsetOf(offsets, f.stepKey));
    w.setCurrentY(offsetOf(offsets, f.yKey) + y0 + f.baseY);
    w.setFontSize(f.points);
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
