#pragma once

#include <QByteArray>
#include <QString>

namespace tools {

struct SnipRead
{
    bool aborted = false; // the user chose Abort: leave the box as it was
    QByteArray bytes;     // what was read (nothing after an ignored failure)
};

// Reads a whole file for a snip box, byte for byte, asking the read question
// when a step fails. After Ignore the steps that need the failed file are
// skipped instead of each failing and asking again.
SnipRead readSnipFile(const QString &path);

} // namespace tools
