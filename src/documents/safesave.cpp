#include "documents/safesave.h"

#include "documents/checksum.h"
#include "documents/saveledger.h"

namespace safesave {

bool writeFile(const QString &path, QByteArrayView prefix, QByteArrayView text, QByteArrayView ending,
               platform::FileError *err, quint64 *checksum)
{
    platform::FileWriter writer;
    if (!writer.open(path, err))
        return false;
    platform::FileStamp temp;
    const QString note = writer.tempStamp(&temp) ? saveledger::record(path, temp) : QString();
    const bool ok = (prefix.isEmpty() || writer.write(prefix, err)) && writer.write(text, err) &&
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
