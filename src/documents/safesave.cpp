#include "documents/safesave.h"

#include "documents/checksum.h"
#include "documents/saveledger.h"

namespace safesave {

namespace {

// The text in pieces, so a long save can tell how far it has got and be stopped.
bool writeText(platform::FileWriter &writer, QByteArrayView text, platform::FileError *err,
               const std::function<bool(qint64)> &progress)
{
    if (!progress)
        return writer.write(text, err);
    constexpr qsizetype kPiece = qsizetype(4) << 20;
    for (qsizetype at = 0; at < text.size(); at += kPiece) {
        if (!writer.write(text.sliced(at, qMin(kPiece, text.size() - at)), err))
            return false;
        if (!progress(qMin(at + kPiece, text.size())))
            return false;
    }
    return true;
}

} // namespace

bool writeFile(const QString &path, QByteArrayView prefix, QByteArrayView text, QByteArrayView ending,
               platform::FileError *err, quint64 *checksum,
               const std::function<bool(qint64 written)> &progress)
{
    platform::FileWriter writer;
    if (!writer.open(path, err))
        return false;
    platform::FileStamp temp;
    const QString note = writer.tempStamp(&temp) ? saveledger::record(path, temp) : QString();
    const bool ok = (prefix.isEmpty() || writer.write(prefix, err)) &&
                    writeText(writer, text, err, progress) &&
                    (ending.isEmpty() || writer.write(ending, err)) && writer.commit(err);
    if (!ok)
        writer.cancel();
    saveledger::release(note);
    if (ok && checksum) {
        Checksum c;
        c.add(prefix);
        c.add(text);
        c.add(ending);
        *checksum = c.value();
    }
    return ok;
}

} // namespace safesave
