#include "vouchers/printtable.h"

#include "vouchers/pagewriter.h"

namespace vouchers {

namespace {
double offsetOf(const Offsets &offsets, const QString &key)
{
    return key.isEmpty() ? 0.0 : offsets.value(key, 0.0);
}
} // namespace

void printFields(PageWriter &w, int pageHeight, int pageWidth, double x0, double y0,
                 const QList<PrintField> &fields, const Offsets &offsets)
{
    w.setPageHeight(pageHeight);
    w.setPageWidth(pageWidth);
    for (const PrintField &f : fields) {
        w.setCurrentX(f.baseX + x0 + offsetOf(offsets, f.xKey));
        w.setCurrentY(offsetOf(offsets, f.yKey) + y0 + f.baseY);
        w.setFontSize(f.points);
        if (!f.text.isEmpty())
            w.printText(f.text);
    }
    w.endDocument();
}

} // namespace vouchers
