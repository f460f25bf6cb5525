#include "tools/findjob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace tools {

FindJob::FindJob(QObject *parent) : QObject(parent) {}

FindJob::~FindJob()
{
    stop();
    wait();
}

bool FindJob::start(const Request &request, QString *error)
{
    if (!m_threads.empty())
        return false;
    m_request = request;
    if (!m_matcher.compile(request.options, error))
        return false;
    if (!request.listed && !QFileInfo(request.folder).isDir()) {
        *error = QStringLiteral("There is no folder \"%1\" to search.").arg(request.folder);
        return false;
    }
    m_linesLeft = qMax(1, request.maxLines);
    m_clock.start();
    const int workers =
        request.threads > 0 ? request.threads : qMax(1, int(std::thread::hardware_concurrency()));
    m_running = workers + 1;
    m_threads.emplace_back([this] { walkAll(); });
    for (int i = 0; i < workers; ++i)
        m_threads.emplace_back([this] { work(); });
    return true;
}

void FindJob::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_stats.finished)
        m_stats.stopped = true;
    m_stop = true;
    m_wake.notify_all();
}

void FindJob::wait()
{
    for (std::thread &t : m_threads)
        if (t.joinable())
            t.join();
}

FindJob::Stats FindJob::stats() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Stats s = m_stats;
    if (!s.finished)
        s.elapsedMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    return s;
}

std::vector<FileHits> FindJob::takeResults()
{
    std::vector<FileHits> out;
    std::lock_guard<std::mutex> lock(m_mutex);
    out.swap(m_results);
    m_told = false;
    return out;
}

void FindJob::halt(const QString &problem, bool capped)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stats.problem.isEmpty() && !m_stats.stopped)
        m_stats.problem = problem;
    m_stats.capped |= capped;
    m_stats.stopped = true;
    m_stop = true;
    m_wake.notify_all();
}

void FindJob::walkAll()
{
    const FolderWalk walk(m_request.patterns);
    const auto file = [this](QByteArray &&path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(path));
        m_wake.notify_one();
    };
    const auto skipped = [this](SkipReason why) {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_stats.skipped[size_t(why)];
    };
    if (m_request.listed)
        walk.list(m_request.files, file, skipped, &m_stop);
    else
        walk.walk(QFile::encodeName(QDir::cleanPath(m_request.folder)), file, skipped, &m_stop);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_walked = true;
        m_wake.notify_all();
    }
    threadDone();
}

void FindJob::work()
{
    FileSearcher searcher(m_matcher, &m_stop, [this] {
        if (m_linesLeft.fetch_sub(1) > 0)
            return true;
        halt(QStringLiteral("Only the first %1 lines are listed; the search stopped there.")
                 .arg(QLocale().toString(m_request.maxLines)),
             true);
        return false;
    });
    for (;;) {
        QByteArray path;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty() || m_walked; });
            if (m_stop || m_queue.empty())
                break;
            path = std::move(m_queue.front());
            m_queue.pop_front();
        }
        FileHits hits;
        const FileSearcher::Outcome o = searcher.search(path, &hits);
        if (o.result == FileSearcher::Result::TooComplex)
            halt(QStringLiteral("The regular expression needs too much work on line %1 of \"%2\"; the search "
                                "stopped there. A simpler pattern will do.")
                     .arg(o.complexLine)
                     .arg(hits.path),
                 false);
        bool tell = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (o.result == FileSearcher::Result::Skipped) {
                ++m_stats.skipped[size_t(o.reason)];
                continue;
            }
            if (o.result == FileSearcher::Result::Searched)
                ++m_stats.searched;
            // After Stop nothing more is delivered; lines found up to the cap still are.
            if (!hits.lines.empty() && (!m_stats.stopped || m_stats.capped)) {
                ++m_stats.matched;
                m_stats.lines += qint64(hits.lines.size());
                m_results.push_back(std::move(hits));
                if (m_stats.firstFoundMs < 0)
                    m_stats.firstFoundMs = m_clock.elapsed();
                tell = !m_told.exchange(true);
            }
        }
        if (tell)
            emit resultsReady();
    }
    threadDone();
}

void FindJob::threadDone()
{
    if (m_running.fetch_sub(1) != 1)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stats.finished = true;
        m_stats.elapsedMs = m_clock.elapsed();
    }
    emit finished();
}

QString summaryText(const FindJob::Stats &s)
{
    const QLocale l;
    QString text = QStringLiteral("%1 files searched, %2 matched, %3 lines")
                       .arg(l.toString(s.searched), l.toString(s.matched), l.toString(s.lines));
    text += QStringLiteral(" in %1 s").arg(l.toString(double(s.elapsedMs) / 1000.0, 'f', 2));
    if (!s.finished)
        text += QStringLiteral(" (searching)");
    else if (s.stopped && !s.capped && s.problem.isEmpty())
        text += QStringLiteral(" (stopped)");
    return text;
}

QString skippedText(const FindJob::Stats &s)
{
    static const char *const names[SkipReasonCount][2] = {
        {"binary", "binary"},
        {"unreadable", "unreadable"},
        {"FIFO, socket or device", "FIFOs, sockets or devices"},
        {"broken or looping link", "broken or looping links"},
        {"removed while searching", "removed while searching"}};
    qint64 total = 0;
    QStringList parts;
    for (int i = 0; i < SkipReasonCount; ++i) {
        if (s.skipped[size_t(i)] == 0)
            continue;
        total += s.skipped[size_t(i)];
        parts << QStringLiteral("%1 %2")
                     .arg(QLocale().toString(s.skipped[size_t(i)]))
                     .arg(QLatin1String(names[i][s.skipped[size_t(i)] == 1 ? 0 : 1]));
    }
    if (total == 0)
        return QString();
    return QStringLiteral("Skipped %1: %2").arg(QLocale().toString(total), parts.join(QStringLiteral(", ")));
}

} // namespace tools
