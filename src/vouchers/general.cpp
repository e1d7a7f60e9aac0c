#include "vouchers/general.h"

#include "printing/pagewriter.h"

namespace vouchers {

QList<PrintField> generalFields(const GeneralFace &f)
{
    auto k = [](const char *column) { return QString::fromLatin1(column); };
    QList<PrintField> rows = {
        {4166, k("rqnl"), 525, k("rqnu"), 9, f.year},
        {5241, k("rqyl"), 525, k("rqyu"), 9, f.month},
        {5925, k("rqrl"), 525, k("rqru"), 9, f.day},
        {1675, k("hkrqcl"), 816, k("hkrqcu"), 9, f.payerName},
        {1675, k("hkrzhhl"), 1166, k("hkrzhhu"), 9, f.payerAccount},
        {1675, k("hcshengl"), 1516, k("hcshengu"), 9, f.payerProvince},
        {2725, k("hcshil"), 1516, k("hcshiu"), 9, f.payerCity},
        {1675, k("hchmcl"), 1866, k("hchmcu"), 9, f.payerBank},
        {1575, k("jedxl"), 2316, k("jedxu"), 9, f.amountWords},
        {6066, k("skrqcl"), 816, k("skrqcu"), 9, f.payeeName},
        {6066, k("skrzhhl"), 1166, k("skrzhhu"), 9, f.payeeAccount},
        {6066, k("hrshengl"), 1516, k("hrshengu"), 9, f.payeeProvince},
        {7200, k("hrshil"), 1516, k("hrshiu"), 9, f.payeeCity},
        {6066, k("hrhmcl"), 1866, k("hrhmcu"), 9, f.payeeBank},
        {6066, k("zhmml"), 3000, k("zhmmu"), 9, f.password},
        {6066, k("ytl"), 3266, k("ytu"), 9, f.purpose},
    };
    // The place each text has: to the next field on its line or to the form's edge (15000).
    const double edge = kGeneralPageWidth;
    setSpace(rows[3], QStringLiteral("付款人全称"), 6066 - 1675);
    setSpace(rows[4], QStringLiteral("付款人账号"), 6066 - 1675);
    setSpace(rows[5], QStringLiteral("汇出地点省"), 2725 - 1675);
    setSpace(rows[6], QStringLiteral("汇出地点市/县"), 6066 - 2725);
    setSpace(rows[7], QStringLiteral("汇出行名称"), 6066 - 1675);
    setSpace(rows[9], QStringLiteral("收款人全称"), edge - 6066);
    setSpace(rows[10], QStringLiteral("收款人账号"), edge - 6066);
    setSpace(rows[11], QStringLiteral("汇入地点省"), 7200 - 6066);
    setSpace(rows[12], QStringLiteral("汇入地点市/县"), edge - 7200);
    setSpace(rows[13], QStringLiteral("汇入行名称"), edge - 6066);
    setSpace(rows[14], QStringLiteral("支付密码"), edge - 6066);
    setSpace(rows[15], QStringLiteral("附加信息及用途"), edge - 6066);
    for (int left = 0; left < 11; ++left)
        rows.append({6508.0 + 292 * left, k("jexxl"), 2450, k("jexxu"), 9, f.cells.value(10 - left), k("jexxjg"), left});
    return rows;
}

void printGeneral(PageWriter &w, const GeneralFace &face, const Offsets &layout)
{
    const Overall overall = overallOffsets(layout, QStringLiteral("zhtl"), QStringLiteral("zhtu"));
    printFields(w, kGeneralPageHeight, kGeneralPageWidth, overall.x, overall.y, generalFields(face), layout,
                EmptyTexts::Print);
}

} // namespace vouchers
