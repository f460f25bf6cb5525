// Quick scan of a 500 MB file in which few lines match, side by side with
// `grep -F -i -c` on the same file: throughput, and how much the resident
// memory grows while scanning.
#include "platform/fileio.h"
#include "tools/filescan.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr qint64 FileBytes = 500LL * 1024 * 1024;
const char *const Needle = "QuillNeedle";
QString g_path;
qint64 g_size = 0;
int g_expected = 0;

qint64 statusKiB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Text lines of mixed-case words with CR LF ends; one line in 40000 holds
// the needle in some letter case.
bool generate()
{
    char name[] = "/tmp/qp_quickscan_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return false;
    g_path = QString::fromLocal8Bit(name);
    FILE *out = fdopen(fd, "wb");
    static const char *const words[] = {"Lorem", "ipsum", "DOLOR", "sit", "amet", "Consectetur", "adipiscing",
                                        "elit", "Sed", "do", "EIUSMOD", "tempor", "incididunt", "ut", "labore",
                                        "et", "Dolore", "magna", "aliqua", "Quill", "needle", "Pad"};
    QRandomGenerator rng(42);
    QList<QByteArray> pool;
    for (int i = 0; i < 4096; ++i) {
        QByteArray line;
        const int n = 6 + int(rng.bounded(10));
        for (int w = 0; w < n; ++w)
            line += QByteArray(words[rng.bounded(int(std::size(words)))]) + ' ';
        pool << line.trimmed() + "\r\n";
    }
    QByteArray block;
    qint64 written = 0;
    qint64 lineNo = 0;
    while (written < FileBytes) {
        block.clear();
        while (block.size() < 4 * 1024 * 1024) {
            if (++lineNo % 40000 == 0) {
                block += "  found the qUILLnEEDLE here  \r\n";
                ++g_expected;
            } else {
                block += pool[int(lineNo % pool.size())];
            }
        }
        fwrite(block.constData(), 1, size_t(block.size()), out);
        written += block.size();
    }
    fclose(out);
    g_size = written;
    return true;
}

int scanOnce()
{
    tools::FileScan scan(QString::fromLatin1(Needle));
    platform::FileError err;
    if (!scan.open(g_path, &err))
        return -1;
    while (!scan.atEnd())
        if (!scan.step(&err))
            return -1;
    return int(scan.scanner().takeLines().size());
}

int grepOnce()
{
    const QByteArray cmd = "grep -F -i -c " + QByteArray(Needle) + " " + QFile::encodeName(g_path);
    FILE *p = popen(cmd.constData(), "r");
    if (!p)
        return -1;
    char buf[64] = {};
    const bool got = fgets(buf, sizeof buf, p) != nullptr;
    pclose(p);
    return got ? std::atoi(buf) : -1;
}

template <typename F> double seconds(F f, int *result)
{
    const auto t0 = std::chrono::steady_clock::now();
    *result = f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_QuickScan(benchmark::State &state)
{
    resetPeak();
    const qint64 rssBefore = statusKiB("VmRSS:");
    double ours = 0;
    int found = 0;
    for (auto _ : state)
        ours += seconds(scanOnce, &found);
    const qint64 growthKiB = statusKiB("VmHWM:") - rssBefore;
    if (found != g_expected)
        state.SkipWithError("the scan found the wrong number of lines");
    // grep on the same file in the same run, best of three (the file is cached either way).
    double grepBest = 1e9;
    for (int i = 0; i < 3; ++i) {
        int n = 0;
        grepBest = std::min(grepBest, seconds(grepOnce, &n));
        if (n != g_expected)
            state.SkipWithError("grep counted a different number of lines");
    }
    const double oursRate = double(g_size) * double(state.iterations()) / ours;
    const double grepRate = double(g_size) / grepBest;
    state.SetBytesProcessed(int64_t(g_size) * int64_t(state.iterations()));
    state.counters["matches"] = found;
    state.counters["MB_per_s"] = oursRate / 1e6;
    state.counters["grep_MB_per_s"] = grepRate / 1e6;
    state.counters["vs_grep"] = oursRate / grepRate; // floor 0.5
    state.counters["rss_growth_MB"] = double(growthKiB) / 1024.0; // ceiling 20
}
BENCHMARK(BM_QuickScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_GrepFixedIgnoreCase(benchmark::State &state)
{
    int n = 0;
    for (auto _ : state)
        n = grepOnce();
    state.SetBytesProcessed(int64_t(g_size) * int64_t(state.iterations()));
    state.counters["matches"] = n;
}
BENCHMARK(BM_GrepFixedIgnoreCase)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (!generate()) {
        std::fprintf(stderr, "cannot write the test file in /tmp\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(g_path);
    return 0;
}
