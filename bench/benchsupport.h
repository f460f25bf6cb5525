#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QsciScintillaBase;

// What every benchmark program shares: the test files (made afresh in a
// private temporary folder at start and removed at exit), clocks, the
// process's resident memory and CPU time, and the way a figure is reported
// next to its floor.
namespace bench {

constexpr qsizetype kBigSize = 50 * 1024 * 1024; // 655360 lines of 80 bytes
constexpr int kLineBytes = 80;                   // 78 characters and CR LF

// Lines of 78 printable characters each ended by CR LF, `bytes` long in all.
QByteArray makeLines(qsizetype bytes);

class Data
{
public:
    static Data &instance();
    QString dir() const;
    // 50 MB of 80-byte lines, each ended by CR LF.
    QString bigFile() const;
    // The same lines with the last one's CR LF left off.
    QString bigFileNoFinalEnd() const;
    // Small documents (20 KB each) for the windows that keep the big one company.
    QString smallFile(int i) const;
    QString scratch(const QString &name) const; // a path for files a benchmark writes
    void remove();

private:
    Data();
    struct Private;
    Private *d;
};

// A plain Scintilla widget set up as the text control sets up its engine
// (one byte per character, no undo collection): the floor the control is
// measured against.
QsciScintillaBase *newBareScintilla();
// One SCI_ADDTEXT of the bytes, then the caret to the start as the editor
// leaves it (left at the end, QScintilla's accessibility counts every
// character up to the caret whenever the widget updates).
void addBareText(QsciScintillaBase *bare, QByteArrayView bytes);

double nowMs();
double cpuMs();    // user and system time of the whole process
qint64 rssBytes(); // resident memory of the process
inline double mb(double bytes)
{
    return bytes / (1024.0 * 1024.0);
}

// Runs the measurements in turn, each iteration starting with a different
// one, so none always pays for what the others left behind (dirty pages,
// freed memory). Returns their results in the order given.
std::vector<double> inTurns(int iteration, const std::vector<std::function<double()>> &measures);

class Samples
{
public:
    void add(double v) { m_v.push_back(v); }
    double median() const;
    double min() const;
    double max() const;
    bool empty() const { return m_v.empty(); }

private:
    std::vector<double> m_v;
};

// Reports a figure against its floor measured in the same iterations:
// medians in ms, the ratio of the medians and whether it meets `target`.
void reportRatio(benchmark::State &state, const Samples &figure, const Samples &floor, double target,
                 const char *what = "");
// Reports a figure against an absolute limit in ms.
void reportLimit(benchmark::State &state, const Samples &figure, double limitMs, const char *what = "");

// Fails the benchmark when the program asked the user anything meanwhile
// (nothing it measures may ask).
bool checkNoQuestions(benchmark::State &state);

int runMain(int argc, char **argv);

} // namespace bench

#define QP_BENCH_MAIN()                                                                                      \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        return bench::runMain(argc, argv);                                                                   \
    }
