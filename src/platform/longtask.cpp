#include "platform/longtask.h"

#include "platform/apphelpers.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace platform {

namespace {

constexpr int kShowAfterMs = 500;
constexpr int kStepMs = 50;
int g_delayMs = kShowAfterMs;
std::function<void(LongTask &)> g_watcher;
QList<LongTask *> g_running; // on the window's thread only

// The frame the window shows over. A file named on the command line is
// opened before the frame is first shown; a long open shows it at once, so
// the progress is seen in the program's own window.
QWidget *mainWindow()
{
    if (QWidget *frame = frameWindow()) {
        frame->show();
        return frame;
    }
    return QApplication::activeWindow();
}

// The window: what is being done, how far, and Cancel.
class ProgressWindow : public QDialog
{
public:
    ProgressWindow(const QString &title, const QString &what, LongTask &task)
        : QDialog(mainWindow()), m_task(task), m_bar(new QProgressBar(this))
    {
        setObjectName(QStringLiteral("frmProgress"));
        setWindowTitle(title);
        setModal(true);
        auto *label = new QLabel(what, this);
        label->setObjectName(QStringLiteral("lblWhat"));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        m_bar->setObjectName(QStringLiteral("prgProgress"));
        m_bar->setRange(0, 1000);
        auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("cmdCancel"));
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(m_bar);
        layout->addWidget(cancel, 0, Qt::AlignRight);
        setFixedWidth(440);
    }

    void update()
    {
        const qint64 total = m_task.total.load(), done = m_task.done.load();
        m_bar->setValue(total > 0 ? int(qBound(qint64(0), done * 1000 / total, qint64(1000))) : 0);
    }

    // Cancel, Escape and the close box all stop the work; the window goes
    // when the work has stopped.
    void reject() override { m_task.stop.store(true); }

private:
    LongTask &m_task;
    QProgressBar *m_bar;
};

} // namespace

bool LongTask::onWindowThread(std::function<void()> fn)
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_asked = std::move(fn);
    // Never waits for a window thread that stopped listening: a stop ends it.
    while (m_asked && !stop.load())
        m_ran.wait_for(lock, std::chrono::milliseconds(10));
    const bool ran = !m_asked;
    m_asked = nullptr;
    return ran;
}

bool LongTask::runAsked()
{
    std::function<void()> fn;
    {
        // A copy: the request stays until it has run, so the work does not
        // take it as done while it runs.
        const std::lock_guard<std::mutex> lock(m_lock);
        fn = m_asked;
    }
    if (!fn)
        return false;
    fn();
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_asked = nullptr; // done: the work may go on
    }
    m_ran.notify_all();
    return true;
}

void stopLongTasks()
{
    for (LongTask *t : std::as_const(g_running))
        t->stop.store(true);
}

void setLongTaskDelayMs(int ms)
{
    g_delayMs = ms < 0 ? kShowAfterMs : ms;
}
void setLongTaskWatcher(std::function<void(LongTask &)> watcher)
{
    g_watcher = std::move(watcher);
}

bool runLongTask(const QString &title, const QString &what, const std::function<void(LongTask &)> &work)
{
    LongTask task;
    QThread *worker = QThread::create([&work, &task] { work(task); });
    // The loop ends with 1 for the work's own reasons; anything else is the
    // program ending (which ends every loop, and any new one at once).
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, [&loop] { loop.exit(1); });
    std::unique_ptr<ProgressWindow> window;
    QTimer show;
    show.setSingleShot(true);
    QObject::connect(&show, &QTimer::timeout, &loop, [&] {
        window = std::make_unique<ProgressWindow>(title, what, task);
        window->update();
        CenterWindow(window.get());
        window->show();
        loop.exit(1); // from here on the window takes the user's input
    });
    QTimer steps;
    bool quick = true; // the first 100 ms: the work may be waiting to be answered
    QObject::connect(&steps, &QTimer::timeout, &loop, [&] {
        // Work that asks the window for one thing after another (putting a
        // huge replacement in place piece by piece) is answered at once,
        // with the events in between.
        steps.setInterval(task.runAsked() ? 1 : quick ? 5 : kStepMs);
        if (g_watcher)
            g_watcher(task);
        if (window)
            window->update();
    });
    g_running << &task;
    worker->start();
    steps.start(5);
    QTimer::singleShot(100, &steps, [&quick] { quick = false; });
    show.start(g_delayMs);
    // Until the window shows, the user's input waits (it would otherwise
    // reach the windows the work is for).
    bool ending = loop.exec(QEventLoop::ExcludeUserInputEvents) != 1;
    while (!ending && !worker->isFinished())
        ending = loop.exec() != 1;
    // The program is ending (a signal): the work is stopped, not left running.
    if (ending)
        task.stop.store(true);
    worker->wait();
    delete worker;
    g_running.removeOne(&task);
    return !task.stop.load();
}

} // namespace platform
