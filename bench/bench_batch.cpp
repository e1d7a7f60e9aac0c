// A month of vouchers from a payment list, beside an anchor on the same stack:
//   BM_CommandLine/<kind>/<rows>  lanshi print <kind> --data list.csv --pdf out.pdf, in this process
//                                 (read the list, check every row, draw, write the PDF, record)
//   BM_Anchor/<kind>/<rows>       QPdfWriter and QPainter drawing the same texts on pages of the same
//                                 size, and the same history rows inserted into SQLite with one
//                                 prepared statement in one transaction
//   BM_PeakMemory/<kind>/<rows>   both again in a child process each: its peak resident size
//   BM_Window/<kind>/<rows>       the batch window with the same list: opened, checked, saved as a
//                                 PDF behind its progress bar; its ratio is to BM_CommandLine
// The ratios (program / anchor) are the counters of BM_CommandLine and BM_PeakMemory.
//   QT_QPA_PLATFORM=offscreen bench_batch

#include "app/cli.h"
#include "batch/batchwindow.h"
#include "ui/prompter.h"
#include "printing/pagewriter_recorder.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "ui/fonts.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucherdata.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char *const kKinds[] = {"支票", "进账单", "建行电汇", "通用电汇", "农行申请书", "交款单"};

// A payment list of rows vouchers: 2,000 customers of the address book, a month of dates, no
// payment repeated (every row is checked against the history and the list's earlier rows).
QByteArray paymentList(const char *kind, int rows)
{
    // The kind's own captions of the five columns every list has.
    const vouchers::VoucherKind &k = *vouchers::findVoucherKind(QString::fromUtf8(kind));
    QStringList captions;
    for (const QString &key : {vouchers::key::counterparty, vouchers::key::amount, vouchers::key::date,
                               vouchers::key::purpose, vouchers::key::number})
        captions << k.captionOf(key);
    QByteArray csv = captions.join(QLatin1Char(',')).toUtf8() + '\n';
    for (int i = 0; i < rows; ++i)
        csv += QStringLiteral("华东建材第%1分公司,%2.%3,2026-12-%4,货款,%5\n")
                   .arg(i % 2000)
                   .arg(100 + (i * 7919) % 900000)
                   .arg(i % 100, 2, 10, QLatin1Char('0'))
                   .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                   .arg(10000000 + i)
                   .toUtf8();
    return csv;
}

struct Setup {
    QTemporaryDir dir;
    QString pristine;

    Setup()
    {
        store::setAppDir(dir.path());
        if (!store::ensureDatabase().ok)
            std::abort();
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(store::databasePath()).constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 0; i < 2000; ++i) {
            const QByteArray sql = QStringLiteral("INSERT INTO khb (gsmc, zhh, khh, sheng, shi) VALUES "
                                                  "('华东建材第%1分公司', '6222%1', '中国工商银行上海分行', '上海', '浦东')")
                                       .arg(i)
                                       .toUtf8();
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        pristine = dir.filePath(QStringLiteral("pristine.mdb"));
        QFile::copy(store::databasePath(), pristine);
    }
    QString list(const char *kind, int rows)
    {
        const QString path = dir.filePath(QStringLiteral("%1-%2.csv").arg(QString::fromUtf8(kind)).arg(rows));
        if (!QFile::exists(path)) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(paymentList(kind, rows));
        }
        return path;
    }
    void freshDatabase()
    {
        QFile::remove(store::databasePath());
        QFile::copy(pristine, store::databasePath());
    }
    static Setup &get()
    {
        static Setup s;
        return s;
    }
};

int printList(const char *kind, int rows)
{
    Setup &s = Setup::get();
    std::FILE *null = std::fopen("/dev/null", "w");
    const int status = app::runCommandLine({QStringLiteral("print"), QString::fromUtf8(kind), QStringLiteral("--data"),
                                            s.list(kind, rows), QStringLiteral("--pdf"),
                                            s.dir.filePath(QStringLiteral("out.pdf"))},
                                           null, null);
    std::fclose(null);
    return status;
}

// What the anchor draws and inserts: the texts of every voucher of the list with their places and
// sizes, and its history rows, made once outside the timing.
struct Drawing {
    int pageWidth = 0, pageHeight = 0;
    QList<QList<vouchers::PlacedText>> pages;
    QList<QVariantList> rows;
};

const Drawing &drawingOf(const char *kind, int rows)
{
    static std::map<std::pair<QString, int>, Drawing> made;
    const auto key = std::make_pair(QString::fromUtf8(kind), rows);
    if (auto it = made.find(key); it != made.end())
        return it->second;
    Setup::get();
    Drawing d;
    store::Connection connection;
    vouchers::ListContext context(connection);
    const vouchers::VoucherKind &k = *vouchers::findVoucherKind(QString::fromUtf8(kind));
    const QList<QByteArray> lines = paymentList(kind, rows).split('\n');
    const QList<QByteArray> header = lines.first().split(',');
    const QStringList keys = {vouchers::key::counterparty, vouchers::key::amount, vouchers::key::date,
                              vouchers::key::purpose, vouchers::key::number};
    for (int i = 1; i <= rows; ++i) {
        const QList<QByteArray> cells = lines[i].split(',');
        vouchers::VoucherData data;
        for (int c = 0; c < keys.size(); ++c)
            data.insert(keys[c], QString::fromUtf8(cells.value(c)));
        QList<vouchers::DataProblem> problems;
        const vouchers::Voucher v = k.fromData(data, context, problems);
        vouchers::RecordingPageWriter recorder;
        v.routine(recorder);
        d.pages.append(recorder.placedTexts());
        for (const vouchers::PrintOp &op : recorder.ops()) {
            if (op.kind == vouchers::PrintOp::Kind::PageWidth)
                d.pageWidth = int(op.a);
            if (op.kind == vouchers::PrintOp::Kind::PageHeight)
                d.pageHeight = int(op.a);
        }
        d.rows.append(v.row.values());
    }
    return made.emplace(key, std::move(d)).first->second;
}

void anchorRows(const Drawing &d, const QString &database);

void anchor(const Drawing &d, const QString &pdf, const QString &database)
{
    {
        QPdfWriter writer(pdf);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QSizeF(d.pageWidth / 20.0, d.pageHeight / 20.0), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        QFont font(ui::songFamily());
        const double dotsPerTwip = writer.resolution() / 1440.0;
        for (int p = 0; p < d.pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            for (const vouchers::PlacedText &t : d.pages[p]) {
                font.setPointSizeF(t.size > 0 ? t.size : 9);
                painter.setFont(font);
                const QFontMetricsF metrics(font, &writer);
                painter.drawText(QPointF(t.x * dotsPerTwip, t.y * dotsPerTwip + metrics.ascent()), t.text);
            }
        }
    }
    anchorRows(d, database);
}

void anchorRows(const Drawing &d, const QString &database)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(database).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO dyb (dyrq, fkrq, pzlx, pzhm, fkje, fkyt, fkrmc, fkrzhh, fkrkhh, skrmc, skrzhh, "
                       "skrkhh) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (const QVariantList &row : d.rows) {
        for (int c = 0; c < 12; ++c) {
            const QVariant &v = row.value(c);
            const QByteArray text = v.typeId() == QMetaType::QDate
                ? v.toDate().toString(Qt::ISODate).toUtf8()
                : (c == 1 ? QDate::fromString(v.toString(), QStringLiteral("yyyy/M/d")).toString(Qt::ISODate)
                          : v.toString())
                      .toUtf8();
            sqlite3_bind_text(insert, c + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::map<std::pair<int, int>, double> g_anchorCpu; // (kind, rows) -> seconds per run

void BM_Anchor(benchmark::State &state)
{
    const char *kind = kKinds[state.range(0)];
    const Drawing &d = drawingOf(kind, int(state.range(1)));
    Setup &s = Setup::get();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.freshDatabase();
        state.ResumeTiming();
        const double before = cpuSeconds();
        anchor(d, s.dir.filePath(QStringLiteral("anchor.pdf")), store::databasePath());
        cpu += cpuSeconds() - before;
    }
    g_anchorCpu[{int(state.range(0)), int(state.range(1))}] = cpu / double(state.iterations());
    state.SetLabel(kind);
}

std::map<std::pair<int, int>, double> g_commandLineCpu;

void BM_CommandLine(benchmark::State &state)
{
    const char *kind = kKinds[state.range(0)];
    const int rows = int(state.range(1));
    Setup &s = Setup::get();
    s.list(kind, rows);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.freshDatabase();
        state.ResumeTiming();
        const double before = cpuSeconds();
        if (printList(kind, rows) != 0)
            state.SkipWithError("lanshi print failed");
        cpu += cpuSeconds() - before;
    }
    const double perRun = cpu / double(state.iterations());
    g_commandLineCpu[{int(state.range(0)), rows}] = perRun;
    state.counters["cpu_s"] = perRun;
    state.counters["per_voucher_us"] = perRun / rows * 1e6;
    if (const auto a = g_anchorCpu.find({int(state.range(0)), rows}); a != g_anchorCpu.end()) {
        state.counters["anchor_cpu_s"] = a->second;
        state.counters["ratio"] = perRun / a->second;
    }
    state.SetLabel(kind);
}

// A fresh process (this program again) that prints the list (what 0) or draws it as the anchor
// does (what 1), each voucher's texts made as the page comes: its peak resident size.
double childPeakMb(int what, const char *kind, int rows)
{
    Setup &s = Setup::get();
    const QString list = s.list(kind, rows);
    s.freshDatabase();
    const pid_t child = fork();
    if (child == 0) {
        const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
        const QByteArray dir = QFile::encodeName(s.dir.path());
        const QByteArray n = QByteArray::number(rows);
        execl(self.constData(), self.constData(), "--peak-child", what == 0 ? "program" : "anchor", kind,
              n.constData(), dir.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    // The child says its own peak (VmHWM): a child's ru_maxrss would count the parent's size at the fork.
    QFile peak(s.dir.filePath(QStringLiteral("peak.txt")));
    peak.open(QIODevice::ReadOnly);
    return peak.readAll().trimmed().toDouble() / 1024.0;
}

// This process's peak resident size in kB, into the data folder for the parent to read.
void reportPeak(const QString &dir)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) {
            QFile out(QDir(dir).filePath(QStringLiteral("peak.txt")));
            out.open(QIODevice::WriteOnly);
            out.write(line.mid(6).trimmed().split(' ').value(0));
        }
}

// The child's work: in the data folder given, the program's print or the anchor's drawing.
int peakChild(const QString &what, const char *kind, int rows, const QString &dir)
{
    store::setAppDir(dir);
    if (what == QLatin1String("program")) {
        std::FILE *null = std::fopen("/dev/null", "w");
        const int status = app::runCommandLine({QStringLiteral("print"), QString::fromUtf8(kind), QStringLiteral("--data"),
                                    QDir(dir).filePath(QStringLiteral("%1-%2.csv").arg(QString::fromUtf8(kind)).arg(rows)),
                                    QStringLiteral("--pdf"), QDir(dir).filePath(QStringLiteral("out.pdf"))},
                                   null, null);
        reportPeak(dir);
        return status;
    }
    // The anchor, one page at a time: the texts of a voucher made, drawn and let go.
    const Drawing d = drawingOf(kind, 1); // the page size
    QPdfWriter writer(QDir(dir).filePath(QStringLiteral("anchor.pdf")));
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QSizeF(d.pageWidth / 20.0, d.pageHeight / 20.0), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    QFont font(ui::songFamily());
    const double dotsPerTwip = writer.resolution() / 1440.0;
    store::Connection connection;
    vouchers::ListContext context(connection);
    const vouchers::VoucherKind &k = *vouchers::findVoucherKind(QString::fromUtf8(kind));
    const QList<QByteArray> lines = paymentList(kind, rows).split('\n');
    const QStringList keys = {vouchers::key::counterparty, vouchers::key::amount, vouchers::key::date,
                              vouchers::key::purpose, vouchers::key::number};
    QList<QVariantList> historyRows;
    for (int i = 1; i <= rows; ++i) {
        const QList<QByteArray> cells = lines[i].split(',');
        vouchers::VoucherData data;
        for (int c = 0; c < keys.size(); ++c)
            data.insert(keys[c], QString::fromUtf8(cells.value(c)));
        QList<vouchers::DataProblem> problems;
        const vouchers::Voucher v = k.fromData(data, context, problems);
        vouchers::RecordingPageWriter recorder;
        v.routine(recorder);
        if (i > 1)
            writer.newPage();
        for (const vouchers::PlacedText &t : recorder.placedTexts()) {
            font.setPointSizeF(t.size > 0 ? t.size : 9);
            painter.setFont(font);
            const QFontMetricsF metrics(font, &writer);
            painter.drawText(QPointF(t.x * dotsPerTwip, t.y * dotsPerTwip + metrics.ascent()), t.text);
        }
        historyRows.append(v.row.values());
    }
    painter.end();
    Drawing rowsOnly;
    rowsOnly.rows = historyRows;
    rowsOnly.pageWidth = d.pageWidth;
    rowsOnly.pageHeight = d.pageHeight;
    anchorRows(rowsOnly, store::databasePath());
    reportPeak(dir);
    return 0;
}

void BM_PeakMemory(benchmark::State &state)
{
    const char *kind = kKinds[state.range(0)];
    const int rows = int(state.range(1));
    double program = 0, anchorMb = 0;
    for (auto _ : state) {
        program = childPeakMb(0, kind, rows);
        anchorMb = childPeakMb(1, kind, rows);
    }
    state.counters["program_MB"] = program;
    state.counters["anchor_MB"] = anchorMb;
    state.counters["ratio"] = program / anchorMb;
    state.SetLabel(kind);
}

// Answers every message with its first button and keeps the last text: the window's summary.
class Summary : public ui::Prompter {
public:
    ui::Button ask(const ui::Prompt &prompt) override
    {
        last = prompt.text;
        return ui::Ok;
    }
    QString last;
};

void BM_Window(benchmark::State &state)
{
    const char *kind = kKinds[state.range(0)];
    const int rows = int(state.range(1));
    Setup &s = Setup::get();
    const QString list = s.list(kind, rows);
    const QString pdf = s.dir.filePath(QStringLiteral("window.pdf"));
    Summary summary;
    ui::setPrompter(&summary);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.freshDatabase();
        state.ResumeTiming();
        const double before = cpuSeconds();
        {
            batch::BatchWindow window;
            window.findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentText(QString::fromUtf8(kind));
            window.show();
            window.load(list);
            window.choosePdf = [pdf](QWidget *, const QString &) { return pdf; };
            window.saveAsPdf();
        }
        cpu += cpuSeconds() - before;
        if (!summary.last.startsWith(QStringLiteral("已打印 %1 张").arg(rows)))
            state.SkipWithError(qPrintable(summary.last));
    }
    ui::setPrompter(nullptr);
    const double perRun = cpu / double(state.iterations());
    state.counters["cpu_s"] = perRun;
    if (const auto c = g_commandLineCpu.find({int(state.range(0)), rows}); c != g_commandLineCpu.end()) {
        state.counters["command_line_cpu_s"] = c->second;
        state.counters["ratio"] = perRun / c->second;
    }
    state.SetLabel(kind);
}

} // namespace

// Kinds 0 to 5 as kKinds lists them; 100, 1,000 and 10,000 rows show the cost growing with the rows.
BENCHMARK(BM_Anchor)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {100, 1000, 10000}})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CommandLine)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {100, 1000, 10000}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_Window)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {10000}})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PeakMemory)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {10000}})->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::installChineseFonts();
    if (argc == 6 && QByteArray(argv[1]) == "--peak-child")
        return peakChild(QString::fromLatin1(argv[2]), argv[3], std::atoi(argv[4]), QString::fromLocal8Bit(argv[5]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
