#include "app/recoverystart.h"

#include "app/frmrecover.h"
#include "documents/recoveryfolder.h"
#include "documents/recoverykeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// One row of the dialog: a journal of a gone instance, or one that could not be read.
struct Offered
{
    const recovery::Orphan::Item *item = nullptr;
    QString unreadable; // the file, when it could not be read
};

// Subfolders of the unreadable journals that hold nothing any more.
void tidyUnreadable(const QString &root)
{
    QDir kept(recovery::unreadableFolder(root));
    for (const QString &sub : kept.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        kept.rmdir(sub); // only when empty
    QDir().rmdir(kept.path());
}

} // namespace

void offerRecovery(QWidget *parent)
{
    recovery::Keeper &keeper = recovery::Keeper::instance();
    const QString root = recovery::defaultRoot();
    // Without a folder of its own the program still runs, only without journals.
    keeper.start(root);
    std::vector<recovery::Orphan> orphans = recovery::claimOrphans(root, keeper.folder().id());
    const std::vector<recovery::Unreadable> kept = recovery::unreadableJournals(root);

    QList<Offered> offered;
    QList<FrmRecover::Row> rows;
    for (const recovery::Orphan &o : orphans) {
        for (const recovery::Orphan::Item &item : o.items) {
            offered << Offered{&item, QString()};
            rows << FrmRecover::Row{item.journal.title, item.journal.path, item.journal.written,
                                    item.journal.text.size()};
        }
    }
    std::vector<recovery::Unreadable> unreadable = kept;
    for (const recovery::Orphan &o : orphans)
        unreadable.insert(unreadable.end(), o.unreadable.begin(), o.unreadable.end());
    for (const recovery::Unreadable &u : unreadable) {
        offered << Offered{nullptr, u.file};
        rows << FrmRecover::Row{QString(), u.file, QFileInfo(u.file).lastModified(), qsizetype(u.size), true};
    }
    if (rows.isEmpty()) {
        for (recovery::Orphan &o : orphans)
            recovery::releaseOrphan(o);
        return;
    }

    FrmRecover dialog(rows, parent);
    dialog.exec();
    const FrmRecover::Choice choice = dialog.choice();
    // Each button acts on the ticked rows alone; nothing else is touched.
    if (choice != FrmRecover::Choice::Later) {
        for (int row : dialog.checkedRows()) {
            const Offered &o = offered[row];
            if (choice == FrmRecover::Choice::Restore) {
                if (o.item)
                    keeper.restore(o.item->journal, o.item->file);
                else
                    keeper.restoreRaw(o.unreadable);
            } else {
                QFile::remove(o.item ? o.item->file : o.unreadable);
            }
        }
    }
    for (recovery::Orphan &o : orphans)
        recovery::releaseOrphan(o);
    tidyUnreadable(root);
}
