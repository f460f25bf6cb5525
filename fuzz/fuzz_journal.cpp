// The crash-recovery journals a dead instance left behind: any bytes as a
// journal file, cut short or hand-made. What parses must write back as a
// journal that parses to the same document.

#include "fuzzsupport.h"

#include "documents/recoveryjournal.h"

namespace {

QString show(const QByteArray &b)
{
    return QString::fromLatin1(b.left(300).toPercentEncoding());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init(fuzzsupport::App::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    recovery::Journal j;
    if (!recovery::parseJournal(bytes, &j))
        return 0;
    FUZZ_CHECK(bytes.endsWith(j.text), show(bytes));

    const QByteArray again = recovery::journalHeader(j, j.text.size()) + j.text;
    recovery::Journal k;
    FUZZ_CHECK(recovery::parseJournal(again, &k), show(again));
    FUZZ_CHECK(k.title == j.title && k.path == j.path && k.text == j.text && k.format == j.format,
               show(again));
    FUZZ_CHECK(k.disk.toText() == j.disk.toText(),
               show(j.disk.toText()) + QStringLiteral(" / ") + show(k.disk.toText()));
    FUZZ_CHECK(k.written == j.written, j.written.toString(Qt::ISODateWithMs) + QStringLiteral(" / ") +
                                           k.written.toString(Qt::ISODateWithMs));
    return 0;
}
