#include "tools/snipfile.h"

#include "documents/fileprompts.h"
#include "platform/fileio.h"

namespace tools {

SnipRead readSnipFile(const QString &path)
{
    using fileprompts::StepResult;
    SnipRead out;
    platform::FileReader reader;
    const auto wording = fileprompts::Wording::Read;
    StepResult r =
        fileprompts::runStep(wording, [&](platform::FileError *e) { return reader.open(path, e); });
    if (r == StepResult::Done)
        r = fileprompts::runStep(wording,
                                 [&](platform::FileError *e) { return reader.readAll(&out.bytes, e); });
    reader.close();
    out.aborted = r == StepResult::Aborted;
    if (out.aborted)
        out.bytes.clear();
    return out;
}

} // namespace tools
