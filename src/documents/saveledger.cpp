#include "documents/saveledger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <atomic>

namespace saveledger {

namespace {
QString g_folder;
std::function<void(const QString &)> g_failed;
std::atomic<int> g_counter{0};
const char kPrefix[] = "save-";
const char kSuffix[] = ".pending";
} // namespace

void setFolder(const QString &folder)
{
    g_folder = folder;
}
QString folder()
{
    return g_folder;
}
void setFailureHandler(std::function<void(const QString &reason)> handler)
{
    g_failed = std::move(handler);
}

QString record(const QString &path, const platform::FileStamp &temp)
{
    if (g_folder.isEmpty())
        return QString();
    // The temporary lies beside the file a link points at, not beside the link.
    const QFileInfo fi(path);
    const QString target = fi.exists() ? fi.canonicalFilePath() : fi.absoluteFilePath();
    const QString note = QDir(g_folder).filePath(QLatin1String(kPrefix) + QString::number(++g_counter) +
                                                 QLatin1String(kSuffix));
    QFile f(note);
    const QByteArray text = QUrl::toPercentEncoding(target) + '\n' + QByteArray::number(temp.device) + ' ' +
                            QByteArray::number(temp.inode) + '\n';
    // A note cut short points nowhere: it counts as not written.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size() || !f.flush()) {
        const QString why = f.errorString();
        f.close();
        f.remove();
        if (g_failed)
            g_failed(why);
        return QString();
    }
    f.close();
    return note;
}

void release(const QString &note)
{
    if (!note.isEmpty())
        QFile::remove(note);
}

namespace {

int removeTemporaries(const QByteArray &noteText)
{
    const QList<QByteArray> lines = noteText.split('\n');
    if (lines.size() < 2)
        return 0;
    const QList<QByteArray> id = lines[1].split(' ');
    bool okDev = false, okIno = false;
    const quint64 dev = id.value(0).toULongLong(&okDev);
    const quint64 ino = id.value(1).toULongLong(&okIno);
    const QString target = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[0]));
    if (!okDev || !okIno || target.isEmpty())
        return 0;
    const QFileInfo fi(target);
    const QString base = fi.fileName() + QLatin1Char('.');
    QDir dir(fi.absolutePath());
    int removed = 0;
    // Only a name made from the file's own, holding the very inode noted.
    for (const QString &name :
         dir.entryList({base + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (name == fi.fileName())
            continue;
        const QString p = dir.filePath(name);
        platform::FileStamp st;
        if (platform::statFile(p, &st) && st.device == dev && st.inode == ino && !QFileInfo(p).isSymLink() &&
            QFile::remove(p))
            ++removed;
    }
    return removed;
}

} // namespace

int sweep(const QString &folder)
{
    QDir dir(folder);
    int removed = 0;
    const QString pattern = QLatin1String(kPrefix) + QLatin1Char('*') + QLatin1String(kSuffix);
    for (const QString &name : dir.entryList({pattern}, QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            removed += removeTemporaries(f.read(64 * 1024));
        f.close();
        f.remove();
    }
    return removed;
}

} // namespace saveledger
