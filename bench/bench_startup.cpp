// Start-up, beside an anchor on the same stack, each a fresh process started by this benchmark:
//   BM_Program/0  lanshi on a data folder it has opened before, until its main window has been
//                 painted for the first time
//   BM_Program/1  the same on an empty folder: the first start, which creates the database
//   BM_Anchor     an empty Qt window (this program with --empty-window): QApplication, a
//                 QWidget shown and painted once
// Time is the child's own CPU time (user + system, all threads) at its first paint, which the
// child writes down (LANSHI_START_REPORT); the ratio (program / anchor, the two started in turn)
// is BM_Program's counter, beside the wall time to the paint and the CPU time until the program
// is ready (database checked, leftovers removed, an interrupted print settled). Run it on the
// display a clerk has: under xvfb-run, or QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Step {
    double cpu = 0;  // ms of the child's CPU time
    double wall = 0; // ms since the fork
};

struct Run {
    Step painted, ready;
    bool ok = false;
};

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double(now.tv_sec) * 1e9 + double(now.tv_nsec)) / 1e6;
}

// Starts program and reads the steps it wrote down.
Run start(const char *program, const std::vector<const char *> &arguments)
{
    QTemporaryDir dir;
    const QByteArray report = QFile::encodeName(dir.filePath(QStringLiteral("start.txt")));
    const double began = monotonicMs();
    const pid_t child = fork();
    if (child == 0) {
        setenv("LANSHI_START_REPORT", report.constData(), 1);
        std::vector<char *> argv{const_cast<char *>(program)};
        for (const char *a : arguments)
            argv.push_back(const_cast<char *>(a));
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Run run;
    QFile file(QFile::decodeName(report));
    if (!file.open(QIODevice::ReadOnly))
        return run;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 3)
            continue;
        Step &step = f[0] == "painted" ? run.painted : run.ready;
        step.cpu = f[1].toDouble();
        step.wall = f[2].toDouble() - began;
    }
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && run.painted.cpu > 0;
    return run;
}

// The benchmark's own program file, for the anchor.
std::string g_self;

Run anchor() { return start(g_self.c_str(), {"--empty-window"}); }

void BM_Anchor(benchmark::State &state)
{
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const Run run = anchor();
        if (!run.ok) {
            state.SkipWithError("the empty window did not start");
            return;
        }
        cpu += run.painted.cpu;
        wall += run.painted.wall;
        state.SetIterationTime(run.painted.cpu / 1000);
    }
    const double n = double(state.iterations());
    state.counters["cpu_ms"] = cpu / n;
    state.counters["wall_ms"] = wall / n;
}
BENCHMARK(BM_Anchor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_Program(benchmark::State &state)
{
    const bool first = state.range(0) == 1;
    QTemporaryDir dir;
    const QByteArray folder = dir.path().toLocal8Bit();
    if (!first && !start(LANSHI_PROGRAM, {"--data-dir", folder.constData()}).ok) {
        state.SkipWithError("lanshi did not start");
        return;
    }
    double cpu = 0, wall = 0, ready = 0, anchorCpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (first) {
            QDir(dir.path()).removeRecursively();
            QDir().mkpath(dir.path());
        }
        const Run a = anchor(); // in turn with the program, so that both see the same machine
        state.ResumeTiming();
        const Run run = start(LANSHI_PROGRAM, {"--data-dir", folder.constData()});
        if (!run.ok || !a.ok || run.ready.cpu <= 0) {
            state.SkipWithError("lanshi or the empty window did not start");
            return;
        }
        cpu += run.painted.cpu;
        wall += run.painted.wall;
        ready += run.ready.cpu;
        anchorCpu += a.painted.cpu;
        state.SetIterationTime(run.painted.cpu / 1000);
    }
    const double n = double(state.iterations());
    state.counters["cpu_ms"] = cpu / n;
    state.counters["wall_ms"] = wall / n;
    state.counters["ready_cpu_ms"] = ready / n;
    state.counters["anchor_cpu_ms"] = anchorCpu / n;
    state.counters["ratio"] = cpu / anchorCpu;
}
BENCHMARK(BM_Program)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0) {
        QApplication application(argc, argv);
        // Writes down its CPU time and the clock after its first paint, as lanshi does.
        class Window : public QWidget {
        protected:
            void paintEvent(QPaintEvent *) override
            {
                QMetaObject::invokeMethod(
                    this,
                    [] {
                        rusage usage{};
                        getrusage(RUSAGE_SELF, &usage);
                        if (FILE *out = std::fopen(qgetenv("LANSHI_START_REPORT").constData(), "a")) {
                            std::fprintf(out, "painted %.3f %.3f\n",
                                         (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6
                                          + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec))
                                             / 1000.0,
                                         monotonicMs());
                            std::fclose(out);
                        }
                        QCoreApplication::exit(0);
                    },
                    Qt::QueuedConnection);
            }
        } window;
        window.resize(800, 600);
        window.show();
        return application.exec();
    }
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    g_self.assign(self, n > 0 ? size_t(n) : 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
