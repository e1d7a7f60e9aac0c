// Writes the fuzzer's starting workbooks: small sheets of texts, numbers and dates, several
// sheets, a protected one, a long string table.

#include "../tests/maintenance/xlsbuilder.h"

#include <cstdio>

using xlstest::Row;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <directory>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    int n = 0;
    auto put = [&](const QByteArray &bytes) {
        return xlstest::writeFile(QStringLiteral("%1/seed%2.xls").arg(dir).arg(++n), bytes);
    };
    bool ok = true;
    ok &= put(xlstest::customerWorkbook({Row{QStringLiteral("北京甲公司"), QStringLiteral("6222"),
                                             QStringLiteral("工行"), QStringLiteral("北京"), QStringLiteral("海淀")}}));
    ok &= put(xlstest::customerWorkbook({Row{QStringLiteral("甲"), 6222021234567890.0, 12.5, xlstest::Date{40282}},
                                         Row{QStringLiteral("乙")}, Row{}, Row{QString(), -1.0}}));
    ok &= put(xlstest::customerWorkbook({}));
    ok &= put(xlstest::customerWorkbook({Row{QStringLiteral("a")}}, QStringLiteral("客户")));
    {
        xlstest::Sheet a{QStringLiteral("说明"), {Row{QStringLiteral("x")}}};
        xlstest::Sheet b{QStringLiteral("SHEET1"), {Row{QStringLiteral("h")}, Row{QStringLiteral("丙"), 1.0}}};
        ok &= put(xlstest::workbook({a, b}));
        ok &= put(xlstest::workbook({b}, {true}));
    }
    {
        QVector<Row> rows;
        for (int i = 0; i < 600; ++i)
            rows.append(Row{QStringLiteral("客户%1号").arg(i), double(i), QStringLiteral("开户行%1").arg(i % 7)});
        ok &= put(xlstest::customerWorkbook(rows));
    }
    return ok ? 0 : 1;
}
