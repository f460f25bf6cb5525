#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The documents of the last session: on a clean exit (with the preference on)
// the paths of the open documents that have files, in window order, with
// their caret and scroll positions; the next start without file arguments
// opens them again. Kept as one value of the settings store.
namespace lastsession {

struct Entry
{
    QString path;
    qint64 caret = 0;     // byte offset
    qint64 firstLine = 0; // the first line in view
    friend bool operator==(const Entry &a, const Entry &b)
    {
        return a.path == b.path && a.caret == b.caret && a.firstLine == b.firstLine;
    }
};

// At most this many documents are opened again; the rest are named as not
// reopened in the one message.
constexpr int MaxReopened = 100;

QString encode(const QList<Entry> &entries);
// Anything that does not parse, or an entry without a path, is left out.
QList<Entry> decode(const QString &text);

QList<Entry> read();
void write(const QList<Entry> &entries);

// What can be opened again: regular files only (a folder, a FIFO or a device
// would never give a document, and a FIFO would block the start), each path
// once and not already open, at most `most` of them. The rest that are not
// opened are named in skipped.
struct Sorted
{
    QList<Entry> open;
    QStringList skipped;
};
Sorted sortOut(const QList<Entry> &entries, const QStringList &alreadyOpen, int most = MaxReopened);

// The entry of a document window's slot; empty path for a document without a file.
Entry entryFor(int slot);

// Opens the stored session's documents through the usual open path, puts
// back their caret and scroll positions, and lists in one message what could
// not be opened. Documents already open (brought back by recovery) are not
// opened twice.
void Reopen();

} // namespace lastsession
