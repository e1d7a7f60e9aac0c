// Reading a 10,000-row payment list in each kind of file: .xlsx (texts in the shared table, as
// spreadsheet programs save them, and inline), .xls (in its child process) and .csv (UTF-8, GBK).
//   bench_sheets

#include "../tests/support/xlsbuilder.h"
#include "sheets/sheets.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <xlsxwriter.h>

#include <cstdlib>

namespace {

constexpr int kRows = 10000;

struct Files {
    QTemporaryDir dir;
    QString xlsxShared, xlsxInline, xls, csv, gbk;

    Files()
    {
        QVector<xlstest::Row> rows;
        rows.append(xlstest::Row{QStringLiteral("收款人"), QStringLiteral("帐号"), QStringLiteral("开户行"),
                                 QStringLiteral("金额"), QStringLiteral("日期"), QStringLiteral("用途")});
        QByteArray csvText = "收款人,帐号,开户行,金额,日期,用途\r\n";
        for (int i = 0; i < kRows; ++i) {
            const QString name = QStringLiteral("华东建材第%1分公司").arg(i);
            const QString account = QStringLiteral("62220200000%1").arg(i, 8, 10, QLatin1Char('0'));
            const QString bank = QStringLiteral("中国工商银行上海分行%1支行").arg(i % 97);
            const double amount = 1000 + i * 0.25;
            rows.append(xlstest::Row{name, account, bank, amount, xlstest::Date{45000.0 + i % 300},
                                     QStringLiteral("货款")});
            csvText += (QStringList{name, account, bank, QString::number(amount), QStringLiteral("2023-03-15"),
                                    QStringLiteral("货款")}.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
        }
        xlsxShared = dir.filePath(QStringLiteral("shared.xlsx"));
        xlsxInline = dir.filePath(QStringLiteral("inline.xlsx"));
        xls = dir.filePath(QStringLiteral("list.xls"));
        csv = dir.filePath(QStringLiteral("list.csv"));
        gbk = dir.filePath(QStringLiteral("gbk.csv"));
        if (!writeXlsx(xlsxShared, rows, false) || !writeXlsx(xlsxInline, rows, true)
            || !xlstest::writeFile(xls, xlstest::workbook({xlstest::Sheet{QStringLiteral("Sheet1"), rows}}))
            || !xlstest::writeFile(csv, csvText) || !xlstest::writeFile(gbk, toGbk(csvText)))
            std::abort();
    }

    static bool writeXlsx(const QString &path, const QVector<xlstest::Row> &rows, bool constantMemory)
    {
        lxw_workbook_options options{};
        options.constant_memory = constantMemory;
        lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
        lxw_format *date = workbook_add_format(book);
        format_set_num_format(date, "yyyy-mm-dd");
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c) {
                if (const QString *t = std::get_if<QString>(&rows[r][c]))
                    worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), t->toUtf8().constData(), nullptr);
                else if (const double *d = std::get_if<double>(&rows[r][c]))
                    worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), *d, nullptr);
                else if (const xlstest::Date *day = std::get_if<xlstest::Date>(&rows[r][c]))
                    worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), day->serial, date);
            }
        return workbook_close(book) == LXW_NO_ERROR;
    }

    static QByteArray toGbk(const QByteArray &utf8)
    {
        iconv_t cd = iconv_open("GBK", "UTF-8");
        QByteArray out(utf8.size() * 2, '\0');
        char *from = const_cast<char *>(utf8.constData());
        char *to = out.data();
        size_t fromLeft = size_t(utf8.size()), toLeft = size_t(out.size());
        iconv(cd, &from, &fromLeft, &to, &toLeft);
        iconv_close(cd);
        out.truncate(out.size() - int(toLeft));
        return out;
    }

    static Files &get()
    {
        static Files files;
        return files;
    }
};

void read(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        const sheets::Sheet sheet = sheets::readSheet(path);
        if (sheet.rows.size() != kRows)
            state.SkipWithError(qPrintable(sheet.error));
        benchmark::DoNotOptimize(sheet.rows.data());
    }
    state.counters["rows"] = kRows;
    state.counters["KB"] = double(QFile(path).size()) / 1024;
}

void BM_XlsxSharedStrings(benchmark::State &state) { read(state, Files::get().xlsxShared); }
void BM_XlsxInlineStrings(benchmark::State &state) { read(state, Files::get().xlsxInline); }
void BM_Xls(benchmark::State &state) { read(state, Files::get().xls); }
void BM_CsvUtf8(benchmark::State &state) { read(state, Files::get().csv); }
void BM_CsvGbk(benchmark::State &state) { read(state, Files::get().gbk); }
BENCHMARK(BM_XlsxSharedStrings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsxInlineStrings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Xls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvGbk)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
