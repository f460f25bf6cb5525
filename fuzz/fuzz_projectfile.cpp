// The project file reader: any bytes as a project file, loaded the way the
// project window loads it, then saved and loaded again.

#include "fuzzsupport.h"

#include "projects/projectfile.h"
#include "projects/projectlist.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString listText(const QStringList &l)
{
    return QString::fromLatin1(l.join(QLatin1Char('|')).toUtf8().toPercentEncoding());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init(fuzzsupport::App::Core);
    // Entries are read relative to the work folder: a few names there exist,
    // so loads keep some entries and leave others out.
    QDir::setCurrent(fuzzsupport::folder());
    for (const char *name : {"a", "b.txt", "\xc3\xa9", "\xe2\x82\xac.htm", "sub/c.css"}) {
        const QString n = QString::fromUtf8(name);
        QDir().mkpath(QFileInfo(n).path());
        fuzzsupport::writeFile(n, "x");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList listed = projects::readProjectPaths(bytes);

    // Every path a project file can name can be written back unchanged.
    for (const QString &p : listed)
        FUZZ_CHECK(projects::canStorePath(p), listText({p}));
    const QStringList again = projects::readProjectPaths(projects::projectFileBytes(listed));
    FUZZ_CHECK(again == listed, listText(listed) + QStringLiteral("\nread back as\n") + listText(again));

    const QString file = fuzzsupport::writeFile(QStringLiteral("input.qpp"), bytes);
    projects::ProjectList list;
    const projects::ProjectList::LoadResult r = list.load(file);
    FUZZ_CHECK(r.read, r.error.description);
    FUZZ_CHECK(list.count() + r.leftOut <= listed.size(), QString::number(list.count()));
    FUZZ_CHECK(list.rows().size() == list.count(), QString::number(list.rows().size()));

    platform::FileError err;
    const QString saved = fuzzsupport::folder() + QStringLiteral("/saved.qpp");
    FUZZ_CHECK(list.save(saved, &err), err.description);
    projects::ProjectList reloaded;
    const projects::ProjectList::LoadResult r2 = reloaded.load(saved);
    FUZZ_CHECK(r2.read && r2.missingReport.isEmpty(), r2.missingReport);
    FUZZ_CHECK(reloaded.paths() == list.paths(),
               listText(list.paths()) + QStringLiteral("\nreloaded as\n") + listText(reloaded.paths()));
    return 0;
}
