#include "benchsupport.h"

#include "platform/apphelpers.h"
#include "scriptedprompts.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

namespace {

ScriptedPrompts *g_prompts = nullptr;

bool writeAll(const QString &path, QByteArrayView bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), bytes.size()) == bytes.size();
}

// The offscreen platform's note about size hints says nothing about the figures.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (msg.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s%s\n", type == QtDebugMsg ? "" : "qt: ", qPrintable(msg));
}

} // namespace

QByteArray makeLines(qsizetype bytes)
{
    // Printable ASCII shifted by one on each line, so no two neighbouring
    // lines are alike.
    QByteArray out(bytes, Qt::Uninitialized);
    char *p = out.data();
    const qsizetype lines = bytes / kLineBytes;
    for (qsizetype i = 0; i < lines; ++i) {
        for (int c = 0; c < kLineBytes - 2; ++c)
            *p++ = char(' ' + (i + c) % 95);
        *p++ = '\r';
        *p++ = '\n';
    }
    std::fill(p, out.data() + bytes, 'x');
    return out;
}

struct Data::Private
{
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/qp-bench-XXXXXX")};
};

Data &Data::instance()
{
    static Data data;
    return data;
}

Data::Data() : d(new Private)
{
    const QByteArray big = makeLines(kBigSize);
    bool ok = d->dir.isValid() && writeAll(bigFile(), big) &&
              writeAll(bigFileNoFinalEnd(), QByteArrayView(big).first(big.size() - 2));
    const QByteArray small = makeLines(20 * 1024);
    for (int i = 0; i < 9; ++i)
        ok = ok && writeAll(smallFile(i), small);
    if (!ok) {
        std::fprintf(stderr, "cannot write the benchmark files under %s\n", qPrintable(QDir::tempPath()));
        std::exit(2);
    }
}

QString Data::dir() const
{
    return d->dir.path();
}
QString Data::bigFile() const
{
    return dir() + QStringLiteral("/big-crlf.txt");
}
QString Data::bigFileNoFinalEnd() const
{
    return dir() + QStringLiteral("/big-no-final-end.txt");
}
QString Data::smallFile(int i) const
{
    return dir() + QStringLiteral("/small-%1.txt").arg(i);
}
QString Data::scratch(const QString &name) const
{
    return dir() + QLatin1Char('/') + name;
}

void Data::remove()
{
    d->dir.remove();
}

QsciScintillaBase *newBareScintilla()
{
    auto *w = new QsciScintillaBase;
    w->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0L);
    w->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
    return w;
}

void addBareText(QsciScintillaBase *bare, QByteArrayView bytes)
{
    bare->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.data());
    bare->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, 0L);
}

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

qint64 rssBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

std::vector<double> inTurns(int iteration, const std::vector<std::function<double()>> &measures)
{
    const size_t n = measures.size();
    std::vector<double> out(n);
    for (size_t k = 0; k < n; ++k) {
        const size_t which = (size_t(iteration) + k) % n;
        out[which] = measures[which]();
    }
    return out;
}

double Samples::median() const
{
    if (m_v.empty())
        return 0;
    std::vector<double> v = m_v;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Samples::min() const
{
    return m_v.empty() ? 0 : *std::min_element(m_v.begin(), m_v.end());
}
double Samples::max() const
{
    return m_v.empty() ? 0 : *std::max_element(m_v.begin(), m_v.end());
}

void reportRatio(benchmark::State &state, const Samples &figure, const Samples &floor, double target,
                 const char *what)
{
    const double ratio = floor.median() > 0 ? figure.median() / floor.median() : 0;
    state.counters["ms"] = figure.median();
    state.counters["floor_ms"] = floor.median();
    state.counters["ratio"] = ratio;
    state.counters["target"] = target;
    char label[160];
    std::snprintf(label, sizeof label, "%s%sratio %.2f, target <= %.2f: %s", what, *what ? ": " : "", ratio,
                  target, ratio <= target ? "met" : "MISSED");
    state.SetLabel(label);
}

void reportLimit(benchmark::State &state, const Samples &figure, double limitMs, const char *what)
{
    state.counters["ms"] = figure.median();
    state.counters["max_ms"] = figure.max();
    state.counters["limit_ms"] = limitMs;
    char label[128];
    std::snprintf(label, sizeof label, "%s%smedian %.3f ms, target < %.1f ms: %s", what, *what ? ": " : "",
                  figure.median(), limitMs, figure.median() < limitMs ? "met" : "MISSED");
    state.SetLabel(label);
}

bool checkNoQuestions(benchmark::State &state)
{
    if (!g_prompts || g_prompts->asked.isEmpty())
        return true;
    const QByteArray text = g_prompts->asked.first().text.toLocal8Bit();
    g_prompts->clear();
    state.SkipWithError(text.constData());
    return false;
}

int runMain(int argc, char **argv)
{
    // Settings and the program folder go to a private folder, never the user's.
    QTemporaryDir env(QDir::tempPath() + QStringLiteral("/qp-bench-env-XXXXXX"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.path() + QStringLiteral("/config")));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = env.path() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QDir().mkpath(env.path() + QStringLiteral("/config"));
    QDir().mkpath(env.path() + QStringLiteral("/app"));

    benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    platform::setAppFolderOverride(env.path() + QStringLiteral("/app/"));
    ScriptedPrompts prompts; // nothing may block on a real dialog
    g_prompts = &prompts;

    Data::instance();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Data::instance().remove();
    g_prompts = nullptr;
    return 0;
}

} // namespace bench
