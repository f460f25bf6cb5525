#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace tools {

// Why a file was not searched; each is counted and named in the results.
enum class SkipReason { Binary, Unreadable, Special, BrokenLink, Gone };
constexpr int SkipReasonCount = 5;

// Which files Find in Files searches: the regular files under a folder, at
// any depth, whose names fit one of the patterns. Hidden folders (".git"
// among them) are left out, and links to folders are never followed, so a
// link loop cannot make the walk go round; a link to a file is searched
// like the file. FIFOs, sockets and devices are counted, never opened.
class FolderWalk
{
public:
    // "*.html;*.css": several patterns separated by ";", letter case not
    // counting; an empty text means "*".
    explicit FolderWalk(const QString &patterns);

    bool fits(const char *name) const;

    using FileFound = std::function<void(QByteArray &&)>;
    using Skipped = std::function<void(SkipReason)>;
    // Paths are the file system's bytes, so names that are not valid UTF-8
    // (or hold newlines or quotes) are read all the same.
    void walk(const QByteArray &root, const FileFound &file, const Skipped &skipped,
              const std::atomic<bool> *stop) const;
    // The files of a list (the project list), by the same rules.
    void list(const QStringList &paths, const FileFound &file, const Skipped &skipped,
              const std::atomic<bool> *stop) const;

private:
    QList<QByteArray> m_patterns;
};

} // namespace tools
