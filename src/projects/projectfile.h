#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The project file: a header line, then one "File: " line per entry, every
// line ended by CR LF, one byte per character like the documents.
//
// Paths are stored as Latin-1 bytes. A path with characters beyond Latin-1 is
// stored as its UTF-8 bytes (the file system's own), and a stored path reads
// back as UTF-8 exactly when its bytes are valid UTF-8 holding such a
// character; canStorePath() tells which paths survive the trip.
namespace projects {

// "Quillpad Basic:1.0", the first line this program writes.
QByteArray projectHeader();

QByteArray encodePath(const QString &path);
QString decodePath(QByteArrayView bytes);

// The lines of a file: each ends at CR LF or a lone CR; a lone LF is part of
// its line; a last line without an end still counts.
QList<QByteArrayView> splitLines(QByteArrayView bytes);

// The path an entry line carries, or "" when it is no entry line. An entry
// line starts with "FILE:" in any case; its path is the rest without the
// leading and trailing blanks.
QString GetFileFromLine(QByteArrayView line);

// Whether a path comes back unchanged after being written and read again.
bool canStorePath(const QString &path);

// The whole file for these paths, and the entry paths of a file's bytes, in order.
QByteArray projectFileBytes(const QStringList &paths);
QStringList readProjectPaths(QByteArrayView bytes);

} // namespace projects
