#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <functional>
#include <memory>

// Whole-file reading and transactional writing, one step at a time, so callers
// can ask their Abort/Retry/Ignore question at the step that failed.
namespace platform {

struct FileError
{
    int number = 0;      // the system's error number for reads; Qt's file error code for writes
    QString description; // the system's description of it
};

// What identifies one state of a file on disk without reading it.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    bool operator==(const FileStamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};

// Stats the file a path names (links followed). False when there is none.
bool statFile(const QString &path, FileStamp *stamp, int *errnum = nullptr);

// Reads regular files only: a folder, FIFO, device or socket is refused at
// open instead of blocking the program.
class FileReader
{
public:
    FileReader() = default;
    ~FileReader() { close(); }
    FileReader(const FileReader &) = delete;
    FileReader &operator=(const FileReader &) = delete;

    bool open(const QString &path, FileError *err);
    bool isOpen() const { return m_fd >= 0; }
    qint64 size() const { return m_size; }
    // The file as it was when opened.
    const FileStamp &stamp() const { return m_stamp; }
    // Reads the whole file from its start; Retry after a failure reads it afresh.
    bool readAll(QByteArray *out, FileError *err);
    // Reads at most max bytes from the start.
    bool readHead(qint64 max, QByteArray *out, FileError *err);
    // Reads at most max bytes at offset pos into buf, for callers that stream a
    // file piece by piece. Returns the count read (0 at the end), or -1.
    qint64 readAt(qint64 pos, char *buf, qint64 max, FileError *err);
    void close();

private:
    bool readUpTo(qint64 max, QByteArray *out, FileError *err);
    int m_fd = -1;
    qint64 m_size = 0;
    FileStamp m_stamp;
};

// Writes a whole file through a temporary beside it; the target is replaced
// only by a commit that succeeds, so a failed save never harms the old file.
// Links keep pointing at the file and its permissions stay.
class FileWriter
{
public:
    bool open(const QString &path, FileError *err);
    bool write(QByteArrayView bytes, FileError *err);
    bool commit(FileError *err);
    void cancel(); // drops everything written; the target stays as it was
    // The temporary being written (open until commit), so that one left
    // behind by a crash can be recognised later by its device and inode.
    bool tempStamp(FileStamp *stamp) const;

private:
    std::unique_ptr<QSaveFile> m_file;
};

bool readWholeFile(const QString &path, QByteArray *out, FileError *err);

// The path as the program keeps it: absolute against the working folder, with
// "." and ".." taken out by the letters alone. Links stay links, so the path
// names what the user named. An empty path stays empty.
QString absolutePath(const QString &path);

// Test seam: makes the next `times` calls of a step fail with the given
// system error number, wherever the file is.
enum class FileStep { Open, Read, Write, Commit };
void injectFileFault(FileStep step, int errnum, int times = 1);
void clearFileFaults();
// Test seam: runs in FileWriter::commit after everything was written, just
// before the temporary takes the target's place, so a test can make the real
// commit fail. Null (the default) runs nothing.
void setBeforeCommitHook(std::function<void(const QString &path)> hook);
// Test seam: a slow disk; every readAt (and every write) waits this long
// first (0: none).
void setReadDelayUs(int us);
void setWriteDelayUs(int us); // the same, before every write
void setWriteDelayUs(int us);

// Memory the system could give this program now (MemAvailable), or -1 when
// it cannot tell; tests put their own figure in place (-1 brings the real one back).
qint64 availableMemory();
void setAvailableMemoryForTests(qint64 bytes);

FileError errorFromErrno(int errnum);

} // namespace platform
