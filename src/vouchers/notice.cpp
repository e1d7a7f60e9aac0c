#include "vouchers/notice.h"

#include "text/numbers.h"
#include "printing/pagewriter.h"

namespace vouchers {

const QList<KeyBox> &noticeKeyBoxes()
{
    static const QList<KeyBox> table = {
        {QStringLiteral("text1"), QStringLiteral("Text57"), false},  // main copy, left/right
        {QStringLiteral("text31"), QStringLiteral("Text58"), false}, // main copy, up/down
        {QStringLiteral("text27"), QStringLiteral("Text42"), false}, // second copy, left/right
        {QStringLiteral("text32"), QStringLiteral("Text46"), false}, // second copy, up/down
        // The two separators (the sheet's cut lines), up/down.
        {QStringLiteral("text38"), QStringLiteral("Text36"), false},
        {QStringLiteral("text39"), QStringLiteral("Text37"), false},
    };
    return table;
}

QList<QLineF> noticeSeparators(const Offsets &offsets)
{
    const double first = 456 + offsets.value(QStringLiteral("text38"), 0.0);
    const double second = 6270 + offsets.value(QStringLiteral("text39"), 0.0);
    return {QLineF(1140, first, 10830, first), QLineF(1140, second, 10830, second)};
}

QList<QLineF> noticeFrame()
{
    QList<QLineF> lines = {
        {1140, 1710, 10830, 1710}, // top border
        // The payer's and the payee's row lines, pairwise.
        {1539, 2166, 5985, 2166},
        {6384, 2166, 10830, 2166},
        {1539, 2622, 5985, 2622},
        {6384, 2622, 10830, 2622},
        {1140, 3078, 10830, 3078}, // amount band
        {1140, 3819, 10830, 3819},
        {1140, 1710, 1140, 5130},   // left border
        {1539, 1710, 1539, 3819},   // after the 交款人 column
        {2337, 1710, 2337, 3078},   // after the payer's labels
        {5985, 1710, 5985, 3078},   // right edge of the payer's block
        {6384, 1710, 6384, 3078},   // after the 收款人 column
        {7182, 1710, 7182, 3078},   // after the payee's labels
        {10830, 1710, 10830, 5130}, // right border; the frame stays open at the bottom
        {7695, 3078, 7695, 3819},   // left edge of the amount cells
        {7695, 3363, 10830, 3363},  // under the cell heads
    };
    for (int i = 0; i < 10; ++i)
        lines.append({7980.0 + 285 * i, 3078, 7980.0 + 285 * i, 3819});
    return lines;
}

QList<PrintField> noticeTexts(const NoticeFace &f)
{
    auto at = [](double x, double y, const QString &text, double points = 9) {
        return PrintField{x, {}, y, {}, points, text};
    };
    // A data text and the place the drawn frame leaves it: to the frame line or label after it.
    auto data = [&at](double x, double y, const QString &text, const char *name, double space) {
        PrintField f = at(x, y, text);
        setSpace(f, QString::fromUtf8(name), space);
        return f;
    };
    QList<PrintField> t = {
        at(4719, 1000, QStringLiteral("交  款  通  知  单"), 15),
        at(4834, 1500, QStringLiteral("开票日期：")),
        at(6259, 1500, QStringLiteral("年")),
        at(6710, 1500, QStringLiteral("月")),
        at(7198, 1500, QStringLiteral("日")),
        at(5803, 1500, f.year),
        at(6482, 1500, f.month),
        at(6970, 1500, f.day),
        at(1260, 1878, QStringLiteral("交")),
        at(1260, 2337, QStringLiteral("款")),
        at(1260, 2780, QStringLiteral("人")),
        at(1596, 1899, QStringLiteral("全 称")),
        data(2387, 1899, f.payerName, "交款人全称", 5985 - 2387),
        at(1596, 2334, QStringLiteral("账 号")),
        data(2387, 2334, f.payerAccount, "交款人账号", 5985 - 2387),
        at(1596, 2784, QStringLiteral("汇出行")),
        data(2387, 2784, f.payerBank, "汇出行", 5985 - 2387),
        at(1240, 3169, QStringLiteral("金")),
        at(1240, 3454, QStringLiteral("额")),
        at(1596, 3169, QStringLiteral("人民币")),
        at(1596, 3454, QStringLiteral("(大写)")),
        at(2327, 3300, f.amountWords),
        at(6085, 1878, QStringLiteral("收")),
        at(6085, 2337, QStringLiteral("款")),
        at(6085, 2780, QStringLiteral("人")),
        at(6484, 1899, QStringLiteral("全 称")),
        data(7282, 1899, f.payeeName, "收款人全称", 10830 - 7282),
        at(6484, 2334, QStringLiteral("账 号")),
        data(7282, 2334, f.payeeAccount, "收款人账号", 10830 - 7282),
        at(6484, 2784, QStringLiteral("汇入行")),
        data(7282, 2784, f.payeeBank, "汇入行", 10830 - 7282),
    };
    static const QString heads = QStringLiteral("亿千百十万千百十元角分");
    for (int k = 0; k < kNoticeCells; ++k) {
        const int cell = kNoticeCells - 1 - k; // from 亿 on the left
        t.append(at(7752.0 + 285 * k, 3164, heads.mid(k, 1)));
        t.append(at(7752.0 + 285 * k, 3454, cell < f.cells.size() ? f.cells[cell] : QString()));
    }
    t.append(at(1710, 4033, QStringLiteral("票据种类：")));
    t.append(data(2565, 4033, f.billKind, "票据种类", 3705 - 2565));
    t.append(at(3705, 4033, QStringLiteral("单位地址：")));
    t.append(data(4550, 4033, f.address, "单位地址", 10830 - 4550));
    t.append(at(1710, 4503, QStringLiteral("用  途：")));
    t.append(data(2565, 4503, f.purpose, "用途", 3705 - 2565));
    t.append(at(3705, 4503, QStringLiteral("备  注：")));
    t.append(data(4550, 4503, f.remark, "备注", 10830 - 4550));
    return t;
}

namespace {
void drawCopy(PageWriter &w, const NoticeFace &face, double dx, double dy)
{
    for (const QLineF &l : noticeFrame())
        w.line(l.x1() + dx, l.y1() + dy, l.x2() + dx, l.y2() + dy);
    for (const PrintField &f : noticeTexts(face))
        printField(w, f, dx, dy, {}, EmptyTexts::Print);
}
} // namespace

void printNotice(PageWriter &w, const NoticeFace &face, const Offsets &offsets)
{
    for (const QLineF &l : noticeSeparators(offsets))
        w.line(l.x1(), l.y1(), l.x2(), l.y2());
    drawCopy(w, face, offsets.value(QStringLiteral("text1"), 0.0), offsets.value(QStringLiteral("text31"), 0.0));
    drawCopy(w, face, offsets.value(QStringLiteral("text27"), 0.0),
             kNoticeSecondCopyY + text::roundHalfEven(offsets.value(QStringLiteral("text32"), 0.0)));
    w.endDocument();
}

} // namespace vouchers
