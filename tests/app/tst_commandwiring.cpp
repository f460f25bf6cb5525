#include "app/mdimain.h"
#include "editor/frmdoc.h"
#include "editor/menutree.h"
#include "platform/commands.h"
#include "testmain.h"
#include "windowtest.h"

#include <QMenu>
#include <QMenuBar>

namespace {

// Entries made while the program runs, each wired as it is made:
const QStringList kDynamic = {
    QStringLiteral("mnuOpenRecent"), // recent files: a hidden pattern and its copies, which open their path
};
// The window list under "mnuViewList" is rebuilt each time it opens, so the
// walk never sees it filled.

QString key(const QAction *a)
{
    const int index = a->property("index").toInt();
    return a->objectName() + (index < 0 ? QString() : QStringLiteral("[%1]").arg(index));
}

void collectLeaves(const QList<QAction *> &actions, QList<QAction *> &leaves)
{
    for (QAction *a : actions) {
        if (QMenu *sub = a->menu())
            collectLeaves(sub->actions(), leaves);
        else if (!a->isSeparator() && !kDynamic.contains(a->objectName()))
            leaves << a;
    }
}

// The tree's leaves that are not made at run time, as the rows describe them.
QStringList describedLeaves(const std::vector<menutree::Entry> &rows)
{
    QStringList out;
    for (const menutree::Entry &e : rows)
        if (!(e.flags & (menutree::Submenu | menutree::Separator)) &&
            !kDynamic.contains(QLatin1String(e.name)))
            out << QLatin1String(e.name) + (e.index < 0 ? QString() : QStringLiteral("[%1]").arg(e.index));
    out.sort();
    return out;
}

// Checks the menus a user sees: every row of the tree is there, each with one command.
void checkTree(const QList<QAction *> &topLevel, const std::vector<menutree::Entry> &rows)
{
    QList<QAction *> leaves;
    collectLeaves(topLevel, leaves);
    QStringList seen, faults;
    for (const QAction *a : std::as_const(leaves)) {
        seen << key(a);
        if (const int n = platform::commandCount(a); n != 1)
            faults << QStringLiteral("%1 has %2 commands").arg(key(a)).arg(n);
    }
    const QStringList described = describedLeaves(rows);
    for (const QString &name : described)
        if (!seen.contains(name))
            faults << name + QStringLiteral(" is not in the menus");
    QVERIFY2(seen.size() == described.size(), "the menus hold entries the tree does not describe");
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

} // namespace

class TstCommandWiring : public WindowTest
{
    Q_OBJECT
private slots:
    void everyMenuEntryRunsOneCommand()
    {
        // The frame's own menus are on the bar while no document is shown.
        checkTree(m_app->frame()->menuBar()->actions(), menutree::frameMenu());
        if (QTest::currentTestFailed())
            return;
        FrmDoc *d = m_app->newDocument();
        QList<QAction *> docMenus;
        for (QMenu *m : d->menus())
            docMenus << m->menuAction();
        checkTree(docMenus, menutree::documentMenu());
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(platform::unwiredNames().isEmpty(),
                 qPrintable(platform::unwiredNames().join(QLatin1Char(' '))));

        // A name that matches no entry is reported, never passed over.
        QTest::ignoreMessage(QtCriticalMsg, "No menu entry mdiMain/mnuFileSve to wire a command to");
        QVERIFY(!platform::wire(m_app->frame(), "mnuFileSve", [] {}));
        QCOMPARE(platform::unwiredNames(), QStringList{QStringLiteral("mdiMain/mnuFileSve")});
    }
};

QP_TEST_MAIN(TstCommandWiring)
#include "tst_commandwiring.moc"
