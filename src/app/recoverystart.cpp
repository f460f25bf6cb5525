#include "app/recoverystart.h"

#include "app/frmrecover.h"
#include "documents/recoveryfolder.h"
#include "documents/recoverykeeper.h"

void OfferRecovery(QWidget *parent)
{
    recovery::Keeper &keeper = recovery::Keeper::instance();
    const QString root = recovery::defaultRoot();
    // Without a folder of its own the program still runs, only without journals.
    keeper.start(root);
    std::vector<recovery::Orphan> orphans = recovery::claimOrphans(root, keeper.folder().id());
    if (orphans.empty())
        return;

    QList<FrmRecover::Row> rows;
    for (const recovery::Orphan &o : orphans)
        for (const recovery::Orphan::Item &item : o.items)
            rows << FrmRecover::Row{item.journal.title, item.journal.path, item.journal.written,
                                    item.journal.text.size()};
    FrmRecover dialog(rows, parent);
    dialog.exec();
    const FrmRecover::Choice choice = dialog.choice();
    const QList<int> checked = dialog.checkedRows();

    int row = 0;
    for (recovery::Orphan &o : orphans) {
        if (choice == FrmRecover::Choice::Later) {
            recovery::keepOrphan(o);
            continue;
        }
        for (const recovery::Orphan::Item &item : o.items) {
            if (choice == FrmRecover::Choice::Restore && checked.contains(row))
                keeper.restore(item.journal, item.file);
            ++row;
        }
        // What was not restored is gone for good, as the user chose.
        recovery::discardOrphan(o);
    }
}
