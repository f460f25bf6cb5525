#pragma once

#include "documents/diskstate.h"
#include "platform/textformat.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One journaled document: what a document window held when it was last
// journaled, enough to bring it back after a crash. A journal file is a short
// header of "key: value" lines, an empty line, then the text's bytes exactly.
namespace recovery {

struct Journal
{
    QString title;
    QString path; // "" for a document without a file
    DiskState disk;
    QDateTime written; // when the journal was written (UTC)
    TextFormat format; // how the text's bytes are held; journals written before formats are classic
    QByteArray text;
};

constexpr char kJournalSuffix[] = ".qpj";

// The header that goes before the text of length textLength.
QByteArray journalHeader(const Journal &j, qsizetype textLength);
// Parses a whole journal file; false when it is not one or is cut short.
bool parseJournal(const QByteArray &bytes, Journal *out);
bool readJournal(const QString &file, Journal *out);

} // namespace recovery
