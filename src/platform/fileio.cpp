#include "platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct Fault
{
    int errnum = 0;
    int times = 0;
};
std::array<Fault, 4> g_faults;
std::function<void(const QString &)> g_beforeCommit;

bool takeFault(FileStep step, FileError *err)
{
    Fault &f = g_faults[size_t(step)];
    if (f.times <= 0)
        return false;
    --f.times;
    if (err)
        *err = errorFromErrno(f.errnum);
    return true;
}

void setErr(FileError *err, const FileError &e)
{
    if (err)
        *err = e;
}

} // namespace

namespace {
FileStamp stampOf(const struct stat &st)
{
    return FileStamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                     qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}
} // namespace

bool statFile(const QString &path, FileStamp *stamp, int *errnum)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errnum)
            *errnum = errno;
        return false;
    }
    *stamp = stampOf(st);
    return true;
}

FileError errorFromErrno(int errnum)
{
    return FileError{errnum, QString::fromLocal8Bit(std::strerror(errnum))};
}

void injectFileFault(FileStep step, int errnum, int times)
{
    g_faults[size_t(step)] = Fault{errnum, times};
}

void clearFileFaults()
{
    g_faults = {};
}

namespace {
std::atomic<int> g_readDelayUs{0};
std::atomic<int> g_writeDelayUs{0};
qint64 g_memoryForTests = -1;
} // namespace

void setWriteDelayUs(int us)
{
    g_writeDelayUs.store(us);
}

void setReadDelayUs(int us)
{
    g_readDelayUs.store(us);
}

void setAvailableMemoryForTests(qint64 bytes)
{
    g_memoryForTests = bytes;
}

qint64 availableMemory()
{
    if (g_memoryForTests >= 0)
        return g_memoryForTests;
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kb = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb * 1024 : -1;
        }
    return -1;
}

void setBeforeCommitHook(std::function<void(const QString &path)> hook)
{
    g_beforeCommit = std::move(hook);
}

bool FileReader::open(const QString &path, FileError *err)
{
    close();
    if (takeFault(FileStep::Open, err))
        return false;
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK keeps a FIFO without writer from hanging us at open.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setErr(err, errorFromErrno(errno));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        setErr(err, errorFromErrno(errno));
        ::close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        setErr(err, errorFromErrno(EISDIR));
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        setErr(err, FileError{EINVAL, QStringLiteral("Not a regular file")});
        ::close(fd);
        return false;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl != -1)
        ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    m_fd = fd;
    m_size = st.st_size;
    m_stamp = stampOf(st);
    return true;
}

bool FileReader::readAll(QByteArray *out, FileError *err)
{
    return readUpTo(-1, out, err);
}

bool FileReader::readHead(qint64 max, QByteArray *out, FileError *err)
{
    return readUpTo(max, out, err);
}

bool FileReader::readUpTo(qint64 max, QByteArray *out, FileError *err)
{
    if (takeFault(FileStep::Read, err))
        return false;
    if (m_fd < 0) {
        setErr(err, errorFromErrno(EBADF));
        return false;
    }
    qint64 want = max >= 0 ? qMin(max, m_size) : m_size;
    QByteArray buf;
    buf.resize(qsizetype(want));
    qint64 got = 0;
    qint64 pos = 0;
    for (;;) {
        if (got == buf.size()) {
            if (max >= 0 && got >= max)
                break;
            // The file grew since it was opened: keep reading to its end.
            qint64 more = qMax<qint64>(got / 2, 65536);
            if (max >= 0)
                more = qMin(more, max - got);
            buf.resize(qsizetype(got + more));
        }
        const ssize_t n = ::pread(m_fd, buf.data() + got, size_t(buf.size() - got), pos);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setErr(err, errorFromErrno(errno));
            return false;
        }
        if (n == 0)
            break;
        got += n;
        pos += n;
    }
    buf.truncate(qsizetype(got));
    *out = std::move(buf);
    return true;
}

qint64 FileReader::readAt(qint64 pos, char *buf, qint64 max, FileError *err)
{
    if (const int us = g_readDelayUs.load())
        ::usleep(useconds_t(us));
    if (takeFault(FileStep::Read, err))
        return -1;
    if (m_fd < 0) {
        setErr(err, errorFromErrno(EBADF));
        return -1;
    }
    for (;;) {
        const ssize_t n = ::pread(m_fd, buf, size_t(max), pos);
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            setErr(err, errorFromErrno(errno));
            return -1;
        }
    }
}

void FileReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_stamp = FileStamp();
}

bool readWholeFile(const QString &path, QByteArray *out, FileError *err)
{
    FileReader r;
    return r.open(path, err) && r.readAll(out, err);
}

QString absolutePath(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool FileWriter::open(const QString &path, FileError *err)
{
    cancel();
    if (takeFault(FileStep::Open, err))
        return false;
    m_file = std::make_unique<QSaveFile>(path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        setErr(err, FileError{int(m_file->error()), m_file->errorString()});
        m_file.reset();
        return false;
    }
    return true;
}

bool FileWriter::write(QByteArrayView bytes, FileError *err)
{
    if (const int us = g_writeDelayUs.load())
        ::usleep(useconds_t(us));
    if (takeFault(FileStep::Write, err))
        return false;
    if (!m_file) {
        setErr(err, errorFromErrno(EBADF));
        return false;
    }
    const char *p = bytes.data();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 n = m_file->write(p, left);
        if (n <= 0) {
            setErr(err, FileError{int(m_file->error()), m_file->errorString()});
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

bool FileWriter::commit(FileError *err)
{
    if (takeFault(FileStep::Commit, err)) {
        cancel();
        return false;
    }
    if (!m_file) {
        setErr(err, errorFromErrno(EBADF));
        return false;
    }
    if (g_beforeCommit)
        g_beforeCommit(m_file->fileName());
    const bool ok = m_file->commit();
    if (!ok)
        setErr(err, FileError{int(m_file->error()), m_file->errorString()});
    m_file.reset();
    return ok;
}

bool FileWriter::tempStamp(FileStamp *stamp) const
{
    struct stat st;
    if (!m_file || m_file->handle() < 0 || ::fstat(m_file->handle(), &st) != 0)
        return false;
    *stamp = stampOf(st);
    return true;
}

void FileWriter::cancel()
{
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}

} // namespace platform
