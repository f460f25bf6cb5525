// The settings the program reads back: any bytes as the INI file behind the
// recent-files list and the viewer table, read through the real store, then
// values written over them and read back exactly.

#include "fuzzsupport.h"

#include "documents/recentfiles.h"
#include "editor/viewertable.h"
#include "platform/blanks.h"
#include "platform/settingsstore.h"

#include <QFile>

#include <algorithm>

#include <sys/time.h>

namespace {

// Puts the input in place of an application's settings file. Each input gets
// its own time stamp so the settings cache sees a new file even when two
// inputs have the same size.
void placeSettings(const QString &app, const QByteArray &bytes)
{
    static long stamp = 1000000000;
    const QString path = platform::settingsFilePath(app);
    const QString name = path.mid(fuzzsupport::folder().size() + 1);
    fuzzsupport::writeFile(name, bytes);
    const struct timeval times[2] = {{++stamp, 0}, {stamp, 0}};
    if (::utimes(QFile::encodeName(path).constData(), times) != 0)
        fuzzsupport::fail("utimes", path);
}

QString show(const QString &s)
{
    return QString::fromLatin1(s.left(200).toUtf8().toPercentEncoding());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Without the GUI types serialized images, polygons and fonts stay
    // undecoded: decoding them under AddressSanitizer takes seconds and
    // gigabytes inside Qt (the normal build reads them in milliseconds).
    fuzzsupport::init(fuzzsupport::App::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    placeSettings(platform::appTitle(), bytes);
    placeSettings(viewers::settingsAppName(), bytes);

    // Whatever the file holds, the list has its 15 positions and no blank entry.
    FUZZ_CHECK(recentfiles::positions().size() == recentfiles::Count, QString());
    for (const QString &e : recentfiles::entries())
        FUZZ_CHECK(!e.isEmpty(), QString());
    viewers::LoadViewerSettings();
    for (int i = 0; i < viewers::Count; ++i)
        FUZZ_CHECK(!viewers::viewEntryCaption(viewers::entry(i)).isEmpty(), QString::number(i));

    // Values taken from the input's lines, written over whatever was there,
    // must read back as they were written.
    const QList<QByteArray> lines = bytes.split('\n');
    auto line = [&](int i) { return i < lines.size() ? QString::fromUtf8(lines[i].left(300)) : QString(); };

    // The store drops, as a precaution, stored text that looks like a
    // serialized object or holds control characters (escaped the way such
    // objects hide); a path never does.
    auto plain = [](const QString &s) {
        return !s.contains(QLatin1String("@Variant(")) &&
               std::none_of(s.begin(), s.end(), [](QChar c) { return c < QChar(0x20); });
    };
    const QString recent = line(0).isEmpty() || !plain(line(0)) ? QStringLiteral("/x") : line(0);
    recentfiles::AddRecentFile(recent);
    const QStringList after = recentfiles::positions();
    FUZZ_CHECK(after.value(0) == recent, show(after.value(0)) + QStringLiteral(" for ") + show(recent));

    const viewers::ViewerRows before = viewers::table();
    viewers::ViewerRows typed;
    for (int i = 0; i < viewers::Count; ++i) {
        const QString p = line(1 + 2 * i), t = line(2 + 2 * i);
        typed[size_t(i)] = viewers::ViewerEntry{plain(p) ? p : QString(), plain(t) ? t : QString()};
    }
    viewers::applyViewerRows(typed);
    viewers::LoadViewerSettings();
    for (int i = 0; i < viewers::Count; ++i) {
        const QString p = platform::trimBlanks(typed[size_t(i)].path);
        const QString t = platform::trimBlanks(typed[size_t(i)].title);
        const viewers::ViewerEntry &want =
            p.isEmpty() && t.isEmpty() ? before[size_t(i)] : viewers::ViewerEntry{p, t};
        const viewers::ViewerEntry &got = viewers::entry(i);
        if (!plain(want.path) || !plain(want.title))
            continue; // kept from the input file, may be dropped as a precaution
        FUZZ_CHECK(got.path == want.path && got.title == want.title,
                   show(got.path) + QLatin1Char('|') + show(got.title) + QStringLiteral(" for ") +
                       show(want.path) + QLatin1Char('|') + show(want.title));
    }
    return 0;
}
