// Costs of the conversions that run while the user types: the amount on every keystroke and the
// initials of a name on every save or import row.
#include "text/amount.h"
#include "text/capitaldate.h"
#include "text/pinyin.h"
#include "text/readings.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ConvertAmountElevenDigits(benchmark::State &state)
{
    const QString amount = QStringLiteral("200001000.05"); // 11 fen digits, zero runs and 亿
    for (auto _ : state) {
        text::AmountDisplay d = text::convertAmount(amount, text::AmountVariant::ElevenPlaces, 11);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_ConvertAmountElevenDigits);

void BM_ConvertAmountLargestEleven(benchmark::State &state)
{
    const QString amount = QStringLiteral("999999999.99");
    for (auto _ : state) {
        text::AmountDisplay d = text::convertAmount(amount, text::AmountVariant::ElevenPlaces, 11);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_ConvertAmountLargestEleven);

void BM_CheckPrintable(benchmark::State &state)
{
    const QString amount = QStringLiteral("999999999.99");
    for (auto _ : state)
        benchmark::DoNotOptimize(text::checkPrintable(amount, text::AmountVariant::ElevenPlaces));
}
BENCHMARK(BM_CheckPrintable);

void BM_CurrencyText(benchmark::State &state)
{
    const QString amount = QStringLiteral("999999999.99");
    for (auto _ : state)
        benchmark::DoNotOptimize(text::currencyText(amount));
}
BENCHMARK(BM_CurrencyText);

void BM_InitialsThirtyCharacters(benchmark::State &state)
{
    // 30 characters: level-1 and level-2 Chinese, full-width brackets, ASCII letters and digits.
    const QString name = QStringLiteral("中国工商银行股份有限公司北京市分行（营业部）骉ABC123号");
    if (name.size() != 30)
        state.SkipWithError("the name must hold 30 characters");
    for (auto _ : state)
        benchmark::DoNotOptimize(text::initials(name));
}
BENCHMARK(BM_InitialsThirtyCharacters);

void BM_InitialsThirtyChinese(benchmark::State &state)
{
    const QString name = QStringLiteral("蓝石软件科技有限公司上海浦东新区张江高科技园区第一分公司营业");
    if (name.size() != 30)
        state.SkipWithError("the name must hold 30 characters");
    for (auto _ : state)
        benchmark::DoNotOptimize(text::initials(name));
}
BENCHMARK(BM_InitialsThirtyChinese);

// The readings form of the initials and the common readings' initials from it, on every save and
// import row: a table look-up per character.
void BM_ReadingInitialsThirtyCharacters(benchmark::State &state)
{
    const QString name = QStringLiteral("中国工商银行股份有限公司北京市分行（营业部）骉ABC123号");
    for (auto _ : state) {
        const QString sets = text::readingSets(name);
        benchmark::DoNotOptimize(text::commonInitials(sets));
    }
}
BENCHMARK(BM_ReadingInitialsThirtyCharacters);

void BM_CapitalDate(benchmark::State &state)
{
    const QDate date(2010, 10, 20);
    for (auto _ : state) {
        text::CapitalDate d = text::capitalDate(date);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_CapitalDate);

} // namespace

BENCHMARK_MAIN();
