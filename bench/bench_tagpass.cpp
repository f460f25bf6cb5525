// The markup-tag pass over long texts holding 1,000 elements per megabyte,
// half "QPLTITLE", half "QPLMESSAGE", every message box answered at once.
// The pass must stay under 1 second for 10 MB and grow linearly: limit_ms
// shows the allowance for each size next to the measured time.
#include "platform/textcontrol.h"
#include "templates/tagpass.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype MB = 1 << 20;

QByteArray textOf(int megabytes)
{
    const int elements = 1000 * megabytes;
    const qsizetype spacing = megabytes * MB / elements;
    QByteArray text;
    text.reserve(megabytes * MB + 64);
    QByteArray filler(spacing, 'x');
    for (qsizetype i = 0; i < spacing; i += 80)
        filler[i] = '\n';
    for (int i = 0; i < elements; ++i) {
        const QByteArray element =
            i % 2 ? QByteArray("<QPLMESSAGE>Message ") + QByteArray::number(i) + "</QPLMESSAGE>"
                  : QByteArray("<QPLTITLE>Title ") + QByteArray::number(i) + "</QPLTITLE>";
        text += element;
        text += QByteArrayView(filler).first(qMax<qsizetype>(0, spacing - element.size()));
    }
    return text;
}

// Answers every box at once and counts what was shown.
class CountingHost : public templates::TagHost
{
public:
    QString docTitle;
    int messages = 0;

    void setTitle(const QString &title) override { docTitle = title; }
    QString title() const override { return docTitle; }
    void message(const QString &, platform::Icon) override { ++messages; }
    QString inputBox(const QString &, const QString &, const QString &) override { return QString(); }
    bool fileExists(const QString &) const override { return false; }
    void openFile(const QString &) override {}
};

class BufferHost : public CountingHost
{
public:
    explicit BufferHost(QByteArray text) : m_text(std::move(text)) {}
    QByteArray text() const override { return m_text; }
    void setText(QByteArrayView text) override { m_text = text.toByteArray(), ++m_version; }
    quint64 textVersion() const override { return m_version; }

private:
    QByteArray m_text;
    quint64 m_version = 0;
};

class ControlHost : public CountingHost
{
public:
    explicit ControlHost(TextControl &control) : m_control(control) {}
    QByteArray text() const override { return m_control.text(); }
    void setText(QByteArrayView text) override { m_control.setText(text); }
    quint64 textVersion() const override { return m_control.changeCount(); }

private:
    TextControl &m_control;
};

void report(benchmark::State &state, int megabytes, const CountingHost &host)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * megabytes * MB);
    state.counters["MB"] = megabytes;
    state.counters["elements"] = 1000.0 * megabytes;
    state.counters["messages"] = host.messages;
    state.counters["limit_ms"] = 100.0 * megabytes;
}

void BM_TagPass(benchmark::State &state)
{
    const int megabytes = int(state.range(0));
    const QByteArray text = textOf(megabytes);
    BufferHost host(text);
    for (auto _ : state) {
        host.messages = 0;
        templates::RunTagPass(host);
    }
    report(state, megabytes, host);
}

// The text control is a widget: it needs an application object.
void ensureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_tagpass";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives to the end of the program
}

void BM_TagPassInTextControl(benchmark::State &state)
{
    ensureApplication();
    const int megabytes = int(state.range(0));
    TextControl control;
    control.setText(QByteArrayView(textOf(megabytes)));
    ControlHost host(control);
    for (auto _ : state) {
        host.messages = 0;
        templates::RunTagPass(host);
    }
    report(state, megabytes, host);
}

} // namespace

BENCHMARK(BM_TagPass)->Arg(1)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagPassInTextControl)->Arg(1)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
