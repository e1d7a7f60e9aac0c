// Writes the fuzzers' starting inputs.
//   make_seeds xls <directory>    small workbooks: texts, numbers, dates, several sheets, a
//                                 protected one, a long string table
//   make_seeds xlsx <directory>   packages written by libxlsxwriter, and the XML of parts for the
//                                 target's stored-zip mode
//   make_seeds csv <directory>    texts in UTF-8, GBK and UTF-16, quoted, tab-separated

#include "../tests/support/xlsbuilder.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <xlsxwriter.h>

using xlstest::Row;

namespace {

bool xlsSeeds(const std::function<bool(const QByteArray &)> &put)
{
    bool ok = true;
    ok &= put(xlstest::customerWorkbook({Row{QStringLiteral("北京甲公司"), QStringLiteral("6222"),
                                             QStringLiteral("工行"), QStringLiteral("北京"), QStringLiteral("海淀")}}));
    ok &= put(xlstest::customerWorkbook({Row{QStringLiteral("甲"), 6222021234567890.0, 12.5, xlstest::Date{40282}},
                                         Row{QStringLiteral("乙")}, Row{}, Row{QString(), -1.0}}));
    ok &= put(xlstest::customerWorkbook({}));
    ok &= put(xlstest::customerWorkbook({Row{QStringLiteral("a")}}, QStringLiteral("客户")));
    xlstest::Sheet a{QStringLiteral("说明"), {Row{QStringLiteral("x")}}};
    xlstest::Sheet b{QStringLiteral("SHEET1"), {Row{QStringLiteral("h")}, Row{QStringLiteral("丙"), 1.0}}};
    ok &= put(xlstest::workbook({a, b}));
    ok &= put(xlstest::workbook({b}, {true}));
    QVector<Row> rows;
    for (int i = 0; i < 600; ++i)
        rows.append(Row{QStringLiteral("客户%1号").arg(i), double(i), QStringLiteral("开户行%1").arg(i % 7)});
    ok &= put(xlstest::customerWorkbook(rows));
    using xlstest::Formula;
    ok &= put(xlstest::customerWorkbook({Row{Formula{QStringLiteral("乙")}, Formula{12.5}, Formula{40282.0, true},
                                             Formula{xlstest::Error{0x07}}}}));
    return ok;
}

QByteArray xlsxFile(int rows, bool constantMemory)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("seed.xlsx"));
    lxw_workbook_options options{};
    options.constant_memory = constantMemory;
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy\"年\"m\"月\"d\"日\"");
    worksheet_write_string(sheet, 0, 0, "收款人", nullptr);
    worksheet_write_string(sheet, 0, 1, "帐号", nullptr);
    worksheet_write_string(sheet, 0, 2, "金额", nullptr);
    worksheet_write_string(sheet, 0, 3, "日期", nullptr);
    for (int r = 1; r <= rows; ++r) {
        worksheet_write_string(sheet, lxw_row_t(r), 0, QStringLiteral("客户%1\"有限\",公司").arg(r).toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, lxw_row_t(r), 1, 6222021234567890.0 + r, nullptr);
        worksheet_write_formula_num(sheet, lxw_row_t(r), 2, "=B2*2", nullptr, 0.5 * r);
        worksheet_write_number(sheet, lxw_row_t(r), 3, 45000 + r, date);
    }
    worksheet_write_boolean(sheet, lxw_row_t(rows + 1), 0, 1, nullptr);
    workbook_close(book);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool xlsxSeeds(const std::function<bool(const QByteArray &)> &put)
{
    bool ok = put(xlsxFile(3, false)) && put(xlsxFile(3, true)) && put(xlsxFile(0, false));
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray sheet = "<worksheet " + ns + "><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
        "<c r=\"B1\" t=\"inlineStr\"><is><r><t>帐</t></r><r><t>号</t></r><rPh><t>x</t></rPh></is></c></row>"
        "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>45356.5</v></c><c r=\"B2\"><v>6.2220212345678904E+15</v></c>"
        "<c r=\"C2\" t=\"str\"><f>A1</f><v>_x000D_a</v></c><c t=\"b\"><v>1</v></c><c r=\"XFD2\" t=\"e\"><v>#N/A</v></c></row>"
        "<row><c><v>1</v></c></row></sheetData></worksheet>";
    const QByteArray strings = "<sst " + ns + "><si><t>客户名称</t></si><si><r><t>a</t></r><rPh><t>b</t></rPh></si></sst>";
    const QByteArray styles = "<styleSheet " + ns + "><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy&quot;年&quot;\"/>"
        "</numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
    ok &= put("\x01" + sheet + '\x01' + strings + '\x01' + styles);
    ok &= put("\x01" + sheet);
    ok &= put("\x03<!DOCTYPE x [<!ENTITY a \"b\">]><worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&a;</t></is></c>"
              "</row></sheetData></worksheet>");
    return ok;
}

bool csvSeeds(const std::function<bool(const QByteArray &)> &put)
{
    bool ok = true;
    ok &= put("收款人,帐号,金额\r\n\"北京\"\"甲\"\",公司\",6222021234567890123,12.5\r\n\r\n乙,=\"007\",\"a\nb\"\r\n");
    ok &= put("\xEF\xBB\xBF名称,帐号\n甲,1\n");
    ok &= put("\xC3\xFB\xB3\xC6,\xD5\xCA\xBA\xC5\r\n\xBC\xD7,1\r\n");
    ok &= put(QByteArray("\xFF\xFE" "a\0\t\0b\0\r\0\n\0" "1\0\t\0" "2\0", 20));
    ok &= put("名称\t金额\n甲,乙\t1,000\n\"unclosed\n");
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds xls|xlsx|csv <directory>\n");
        return 2;
    }
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString dir = QString::fromLocal8Bit(argv[2]);
    int n = 0;
    const auto put = [&](const QByteArray &bytes) {
        return !bytes.isEmpty() && xlstest::writeFile(QStringLiteral("%1/seed%2.%3").arg(dir).arg(++n).arg(kind), bytes);
    };
    bool ok = false;
    if (kind == QLatin1String("xls"))
        ok = xlsSeeds(put);
    else if (kind == QLatin1String("xlsx"))
        ok = xlsxSeeds(put);
    else if (kind == QLatin1String("csv"))
        ok = csvSeeds(put);
    return ok ? 0 : 1;
}
