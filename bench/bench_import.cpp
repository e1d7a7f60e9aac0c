// Customer import timings on a 10,000-row khb.xls: reading the sheet alone, and the whole import
// through the window (read at activation, one transaction, progress, counters).
//   QT_QPA_PLATFORM=offscreen bench_import

#include "../tests/support/xlsbuilder.h"
#include "maintenance/customerimport.h"
#include "store/appdir.h"
#include "store/database.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRows = 10000;

// Answers every message with its first button and counts the success messages.
struct QuietPrompter : ui::Prompter {
    int successes = 0;
    ui::Button ask(const ui::Prompt &prompt) override
    {
        if (prompt.text == QStringLiteral("恭喜你，信息已成功导入"))
            ++successes;
        return ui::firstButton(prompt.buttons);
    }
};

struct Setup {
    QTemporaryDir dir;
    QString pristine; // a fresh database to start each import from

    Setup()
    {
        store::setAppDir(dir.path());
        if (!store::ensureDatabase().ok)
            std::abort();
        pristine = dir.filePath(QStringLiteral("pristine.mdb"));
        QFile::copy(store::databasePath(), pristine);
        QVector<xlstest::Row> rows;
        rows.reserve(kRows);
        for (int i = 0; i < kRows; ++i)
            rows.append(xlstest::Row{QStringLiteral("华东建材第%1分公司").arg(i), 6222020000000000.0 + i,
                                     QStringLiteral("中国工商银行上海分行%1支行").arg(i % 97),
                                     QStringLiteral("上海"), QStringLiteral("浦东新区")});
        if (!xlstest::writeFile(store::appFile(QStringLiteral("khb.xls")), xlstest::customerWorkbook(rows)))
            std::abort();
    }
    static Setup &get()
    {
        static Setup s;
        return s;
    }
};

void BM_ReadSheet(benchmark::State &state)
{
    Setup &s = Setup::get();
    for (auto _ : state) {
        const auto sheet = maintenance::readCustomerSheet(store::appFile(QStringLiteral("khb.xls")));
        if (sheet.rows.size() != kRows)
            state.SkipWithError("sheet not read");
        benchmark::DoNotOptimize(sheet.rows.data());
    }
    (void)s;
}
BENCHMARK(BM_ReadSheet)->Unit(benchmark::kMillisecond);

void BM_ImportThroughWindow(benchmark::State &state)
{
    Setup &s = Setup::get();
    QuietPrompter prompter;
    ui::setPrompter(&prompter);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(store::databasePath());
        QFile::copy(s.pristine, store::databasePath());
        state.ResumeTiming();

        auto *w = new maintenance::CustomerImportWindow;
        w->show(); // activation reads the sheet
        w->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ui::setPrompter(nullptr);
    if (prompter.successes != int(state.iterations()))
        state.SkipWithError("an import did not succeed");
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_ImportThroughWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
