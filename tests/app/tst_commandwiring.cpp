#include "app/mdimain.h"
#include "editor/frmdoc.h"
#include "editor/menutree.h"
#include "platform/commands.h"
#include "testmain.h"
#include "windowtest.h"

#include <QMenu>
#include <QMenuBar>

namespace {

// Recent files are made while the program runs (a hidden pattern and its copies), each wired as it
// is made. The window list under "mnuViewList" is rebuilt each time it opens, so the walk never
// sees it filled.
const QString kDynamic = "mnuOpenRecent";
const auto key = [](const QString &name, int index) {
    return index < 0 ? name : QString("%1[%2]").arg(name).arg(index);
};

void walk(const QList<QAction *> &actions, QStringList &seen, QStringList &faults)
{
    for (QAction *a : actions) {
        if (QMenu *sub = a->menu()) {
            walk(sub->actions(), seen, faults);
        } else if (!a->isSeparator() && a->objectName() != kDynamic) {
            seen << key(a->objectName(), a->property("index").toInt());
            if (const int n = platform::commandCount(a); n != 1)
                faults << QStringLiteral("%1 has %2 commands").arg(seen.last()).arg(n);
        }
    }
}

// What is wrong in the menus a user sees against the rows of their tree: entries missing or extra,
// or with other than one command.
QString faults(const QList<QAction *> &topLevel, const std::vector<menutree::Entry> &rows)
{
    QStringList seen, wrong;
    walk(topLevel, seen, wrong);
    for (const menutree::Entry &e : rows)
        if (!(e.flags & (menutree::Submenu | menutree::Separator)) && kDynamic != e.name &&
            !seen.removeOne(key(e.name, e.index)))
            wrong << key(e.name, e.index) + " is not in the menus";
    for (const QString &extra : std::as_const(seen))
        wrong << extra + " is not in the tree";
    return wrong.join("; ");
}

} // namespace

class TstCommandWiring : public WindowTest
{
    Q_OBJECT
private slots:
    void everyMenuEntryRunsOneCommand()
    {
        // The frame's own menus are on the bar while no document is shown.
        QCOMPARE(faults(m_app->frame()->menuBar()->actions(), menutree::frameMenu()), QString());
        QList<QAction *> docMenus;
        for (QMenu *m : m_app->newDocument()->menus())
            docMenus << m->menuAction();
        QCOMPARE(faults(docMenus, menutree::documentMenu()), QString());
        QCOMPARE(platform::unwiredNames(), QStringList());

        // A name that matches no entry is reported, never passed over.
        QTest::ignoreMessage(QtCriticalMsg, "No menu entry mdiMain/mnuFileSve to wire a command to");
        QVERIFY(!platform::wire(m_app->frame(), "mnuFileSve", [] {}));
        QCOMPARE(platform::unwiredNames(), QStringList{"mdiMain/mnuFileSve"});
    }
};

QP_TEST_MAIN(TstCommandWiring)
#include "tst_commandwiring.moc"
