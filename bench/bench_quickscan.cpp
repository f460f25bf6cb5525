// Quick scan of a 500 MB file in which few lines match, side by side with
// `grep -F -i -c` on the same file: throughput, and how much the resident
// memory grows while scanning. Once with CR LF ends, once with LF ends.
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

struct TestFile
{
    QString path;
    qint64 size = 0;
    int expected = 0;
};
TestFile g_crlf, g_lf;

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

// Text lines of mixed-case words with the given ends; one line in 40000
// holds the needle in some letter case.
bool generate(const QByteArray &eol, TestFile *file)
{
    char name[] = "/tmp/qp_quickscan_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return false;
    file->path = QString::fromLocal8Bit(name);
    FILE *out = fdopen(fd, "wb");
    static const char *const words[] = {"Lorem",      "ipsum", "DOLOR",  "sit", "amet",    "Consectetur",
                                        "adipiscing", "elit",  "Sed",    "do",  "EIUSMOD", "tempor",
                                        "incididunt", "ut",    "labore", "et",  "Dolore",  "magna",
                                        "aliqua",     "Quill", "needle", "Pad"};
    QRandomGenerator rng(42);
    QList<QByteArray> pool;
    for (int i = 0; i < 4096; ++i) {
        QByteArray line;
        const int n = 6 + int(rng.bounded(10));
        for (int w = 0; w < n; ++w)
            line += QByteArray(words[rng.bounded(int(std::size(words)))]) + ' ';
        pool << line.trimmed() + eol;
    }
    QByteArray block;
    qint64 written = 0;
    qint64 lineNo = 0;
    while (written < FileBytes) {
        block.clear();
        while (block.size() < 4 * 1024 * 1024) {
            if (++lineNo % 40000 == 0) {
                block += "  found the qUILLnEEDLE here  " + eol;
                ++file->expected;
            } else {
                block += pool[int(lineNo % pool.size())];
            }
        }
        fwrite(block.constData(), 1, size_t(block.size()), out);
        written += block.size();
    }
    fclose(out);
    file->size = written;
    return true;
}

int scanOnce(const TestFile &file)
{
    tools::FileScan scan(QString::fromLatin1(Needle));
    platform::FileError err;
    if (!scan.open(file.path, &err))
        return -1;
    while (!scan.atEnd())
        if (!scan.step(&err))
            return -1;
    return int(scan.scanner().takeLines().size());
}

int grepOnce(const TestFile &file)
{
    const QByteArray cmd = "grep -F -i -c " + QByteArray(Needle) + " " + QFile::encodeName(file.path);
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

void runQuickScan(benchmark::State &state, const TestFile &file)
{
    resetPeak();
    const qint64 rssBefore = statusKiB("VmRSS:");
    double ours = 0;
    int found = 0;
    for (auto _ : state)
        ours += seconds([&] { return scanOnce(file); }, &found);
    const qint64 growthKiB = statusKiB("VmHWM:") - rssBefore;
    if (found != file.expected)
        state.SkipWithError("the scan found the wrong number of lines");
    // grep on the same file in the same run, best of three (the file is cached either way).
    double grepBest = 1e9;
    for (int i = 0; i < 3; ++i) {
        int n = 0;
        grepBest = std::min(grepBest, seconds([&] { return grepOnce(file); }, &n));
        if (n != file.expected)
            state.SkipWithError("grep counted a different number of lines");
    }
    const double oursRate = double(file.size) * double(state.iterations()) / ours;
    const double grepRate = double(file.size) / grepBest;
    state.SetBytesProcessed(int64_t(file.size) * int64_t(state.iterations()));
    state.counters["matches"] = found;
    state.counters["MB_per_s"] = oursRate / 1e6;
    state.counters["grep_MB_per_s"] = grepRate / 1e6;
    state.counters["vs_grep"] = oursRate / grepRate;              // floor 0.5
    state.counters["rss_growth_MB"] = double(growthKiB) / 1024.0; // ceiling 20
}

void BM_QuickScan(benchmark::State &state)
{
    runQuickScan(state, g_crlf);
}
BENCHMARK(BM_QuickScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_QuickScanLf(benchmark::State &state)
{
    runQuickScan(state, g_lf);
}
BENCHMARK(BM_QuickScanLf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_GrepFixedIgnoreCase(benchmark::State &state)
{
    int n = 0;
    for (auto _ : state)
        n = grepOnce(g_crlf);
    state.SetBytesProcessed(int64_t(g_crlf.size) * int64_t(state.iterations()));
    state.counters["matches"] = n;
}
BENCHMARK(BM_GrepFixedIgnoreCase)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    const bool made = generate("\r\n", &g_crlf) && generate("\n", &g_lf);
    if (made)
        benchmark::RunSpecifiedBenchmarks();
    else
        std::fprintf(stderr, "cannot write the test files in /tmp\n");
    benchmark::Shutdown();
    QFile::remove(g_crlf.path);
    QFile::remove(g_lf.path);
    return made ? 0 : 1;
}
