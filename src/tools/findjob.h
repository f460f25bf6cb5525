#pragma once

#include "tools/filesearch.h"
#include "tools/findmatcher.h"
#include "tools/findwalk.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tools {

// One Find in Files search: a thread walks the tree, workers (one per core)
// search the files it finds, and the results wait here until the window
// takes them. resultsReady is sent once whenever results arrive after the
// window last took them, so the window's event queue never floods.
class FindJob : public QObject
{
    Q_OBJECT

public:
    // The results stop at this many lines, which keeps memory bounded.
    static constexpr int DefaultMaxLines = 100000;

    struct Request
    {
        FindOptions options;
        QString folder;
        QString patterns;
        bool listed = false; // search `files` instead of the folder
        QStringList files;
        int maxLines = DefaultMaxLines;
        int threads = 0; // 0: one per core
    };

    struct Stats
    {
        qint64 searched = 0; // files read through
        qint64 matched = 0;  // files with at least one matching line
        qint64 lines = 0;    // matching lines kept
        std::array<qint64, SkipReasonCount> skipped{};
        bool capped = false;  // stopped at the line cap
        bool stopped = false; // Stop, the cap or a pattern that gave up
        bool finished = false;
        QString problem; // why the search stopped on its own, for the user
        qint64 elapsedMs = 0;
        qint64 firstFoundMs = -1; // when the first results were ready for the window
    };

    explicit FindJob(QObject *parent = nullptr);
    ~FindJob() override; // stops the search and waits for its threads

    // False with a message for the user when the search cannot run.
    bool start(const Request &request, QString *error);
    // Ends the search at once: the threads stop after the piece in hand,
    // and nothing they find later is delivered.
    void stop();
    Stats stats() const;
    // The files with matches found since the last call, in the order found.
    std::vector<FileHits> takeResults();
    // Waits for every thread (tests and the benchmark; the window never waits).
    void wait();

signals:
    void resultsReady();
    void finished();

private:
    void walkAll();
    void work();
    void threadDone();
    void halt(const QString &problem, bool capped);

    Request m_request;
    FindMatcher m_matcher;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_linesLeft{0};
    std::atomic<int> m_running{0};
    std::atomic<bool> m_told{false}; // resultsReady was sent and not yet answered
    std::vector<std::thread> m_threads;

    mutable std::mutex m_mutex; // guards what follows
    std::condition_variable m_wake;
    std::deque<QByteArray> m_queue;
    bool m_walked = false;
    std::vector<FileHits> m_results;
    Stats m_stats;
    QElapsedTimer m_clock;
};

// The summary under the results: "1,234 files searched, 56 matched, 789
// lines in 0.42 s", and what was skipped and why.
QString summaryText(const FindJob::Stats &stats);
QString skippedText(const FindJob::Stats &stats);

} // namespace tools
