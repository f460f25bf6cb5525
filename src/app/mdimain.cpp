#include "app/mdimain.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/fileops.h"
#include "documents/lastsession.h"
#include "documents/recoverykeeper.h"
#include "editor/extras.h"
#include "editor/frmabout.h"
#include "editor/frmdoc.h"
#include "editor/preferences.h"
#include "platform/commands.h"
#include "platform/longtask.h"
#include "platform/prompts.h"
#include "projects/commands.h"
#include "templates/commands.h"
#include "tools/commands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

MdiMain::MdiMain() : m_area(new QMdiArea(this))
{
    setObjectName(QStringLiteral("mdiMain"));
    setWindowTitle(platform::appTitle());
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    setAcceptDrops(true);
    resize(1100, 760);

    m_menus = menutree::build(menutree::frameMenu(), this);
    connectCommands();
    // A new frame is a new start: the preferences are read afresh.
    preferences::reload();
    applyDocumentView();
    connect(&preferences::notifier(), &preferences::Notifier::changed, this, &MdiMain::applyDocumentView);
    connect(m_area, &QMdiArea::subWindowActivated, this, &MdiMain::updateMenuBar);
    updateMenuBar();

    DocumentRegistry::instance().setWindowFactory([this](int slot) { return createDocumentWindow(slot); });
    fileops::setSharedFileDialog(&m_cdia);
}

MdiMain::~MdiMain()
{
    DocumentRegistry::instance().setWindowFactory(nullptr);
    fileops::setSharedFileDialog(nullptr);
    // The document windows go first, while this frame can still hear them.
    disconnect(m_area, nullptr, this, nullptr);
    for (FrmDoc *doc : findChildren<FrmDoc *>())
        disconnect(doc, nullptr, this, nullptr);
    qDeleteAll(m_area->findChildren<QMdiSubWindow *>(QString(), Qt::FindDirectChildrenOnly));
    qDeleteAll(m_area->viewport()->findChildren<QMdiSubWindow *>(QString(), Qt::FindDirectChildrenOnly));
}

DocumentWindow *MdiMain::createDocumentWindow(int slot)
{
    auto *doc = new FrmDoc(slot);
    QMdiSubWindow *sw = m_area->addSubWindow(doc);
    sw->setAttribute(Qt::WA_DeleteOnClose);
    // Wide enough for the toolbar and the eight status panels, and cascaded
    // so that each new window stays inside the frame.
    const QSize room = m_area->isVisible() ? m_area->viewport()->size() : size() - QSize(10, 90);
    const QSize want(qMax(900, room.width() * 4 / 5), qMax(440, room.height() * 4 / 5));
    sw->resize(want);
    const int step = 26;
    const int slack = qMin(room.width() - want.width(), room.height() - want.height());
    const int steps = slack > step ? slack / step + 1 : 1;
    sw->move(QPoint(step, step) * (m_placed++ % steps));
    // A tab shows its document over the whole area.
    if (m_area->viewMode() == QMdiArea::TabbedView)
        sw->setWindowState(Qt::WindowMaximized);
    connect(doc, &FrmDoc::visibilityChanged, this, &MdiMain::updateMenuBar);
    connect(doc, &QObject::destroyed, this, [this] {
        m_menuOwner = nullptr;
        updateMenuBar();
    });
    return doc;
}

void MdiMain::updateMenuBar()
{
    // The current sub-window counts even while a tool window has the focus.
    FrmDoc *owner = nullptr;
    if (QMdiSubWindow *cur = m_area->currentSubWindow())
        if (cur->isVisible())
            owner = qobject_cast<FrmDoc *>(cur->widget());
    if (!owner) {
        const QList<QMdiSubWindow *> stack = m_area->subWindowList(QMdiArea::StackingOrder);
        for (auto it = stack.crbegin(); it != stack.crend(); ++it)
            if ((*it)->isVisible())
                if ((owner = qobject_cast<FrmDoc *>((*it)->widget())))
                    break;
    }
    if (owner == m_menuOwner && !menuBar()->actions().isEmpty())
        return;
    m_menuOwner = owner;
    menuBar()->clear();
    const QList<QMenu *> &menus = owner ? owner->menus() : m_menus.topLevel;
    for (QMenu *m : menus)
        menuBar()->addMenu(m);
}

void MdiMain::connectCommands()
{
    platform::wire(this, "mnuNew", [] { documents::NewDocument(); });
    platform::wire(this, "mnuOpen", [] { fileops::OpenFileWithDialog(); });
    platform::wire(this, "mnuDFClip", [] { documents::NewDocumentFromClipboard(); });
    // Ends the program the way closing the frame does: each changed document
    // asks its question first, and Cancel keeps the program running.
    platform::wire(this, "mnuExit", [this] { close(); });
    platform::wire(this, "mnuHelpAbout", [] { FrmAbout::showAbout(); });
    platform::wire(this, "mnuTemplates", [] { templates::ShowTemplateDialog(); });
    platform::wire(this, "mnuToolsQuickSearch", [] { tools::ShowQuickScan(); });
    platform::wire(this, "mnuToolsFindInFiles", [] { tools::ShowFindInFiles(); });
    platform::wire(this, "mnuPL", [] { projects::ShowProjectWindow(); });
    platform::wire(this, "mnuViewSettings", [] { extras::ShowViewSettingsDialog(); });
    platform::wire(this, "mnuNewDocumentFormat", [] { extras::ShowNewDocumentFormatDialog(); });
    platform::wire(this, "mnuPreferences", [] { extras::ShowPreferencesDialog(); });
}

void MdiMain::applyDocumentView()
{
    const bool tabs = preferences::current().view == preferences::DocumentView::Tabs;
    if (tabs == (m_area->viewMode() == QMdiArea::TabbedView))
        return;
    m_area->setViewMode(tabs ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
    if (tabs) {
        m_area->setTabsClosable(true);
        m_area->setTabsMovable(true);
        m_area->setDocumentMode(true);
    }
    // Back from tabs, the windows take their own sizes again.
    for (QMdiSubWindow *sw : m_area->subWindowList())
        sw->setWindowState(tabs ? Qt::WindowMaximized : Qt::WindowNoState);
}

QList<lastsession::Entry> MdiMain::sessionEntries() const
{
    QList<lastsession::Entry> entries;
    if (preferences::current().reopenSession) {
        // Creation order follows the tabs as they were moved.
        for (QMdiSubWindow *sw : m_area->subWindowList(QMdiArea::CreationOrder)) {
            auto *doc = qobject_cast<FrmDoc *>(sw->widget());
            if (!doc)
                continue; // a closed document's window is no longer in use: no entry
            const lastsession::Entry entry = lastsession::entryFor(doc->slot());
            if (!entry.path.isEmpty())
                entries << entry;
        }
    }
    return entries;
}

void MdiMain::closeEvent(QCloseEvent *e)
{
    // A file still being read is not opened after all: the frame is going.
    platform::stopLongTasks();
    // Taken before the windows go; kept only when every one of them went.
    const QList<lastsession::Entry> session = sessionEntries();
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot : reg.slotsWithWindows()) {
        DocumentWindow *w = reg.window(slot);
        if (!w)
            continue;
        QPointer<QWidget> doc = w->widget();
        QWidget *target = doc->parentWidget() ? doc->parentWidget() : doc.data();
        if (!target->close()) {
            e->ignore();
            return;
        }
    }
    e->accept();
    lastsession::write(session);
    // Every document went through its close procedure: nothing is left to recover.
    recovery::Keeper::instance().shutdown();
}

namespace {
QStringList droppedFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << QFileInfo(url.toLocalFile()).absoluteFilePath();
    return paths;
}
} // namespace

void MdiMain::dragEnterEvent(QDragEnterEvent *e)
{
    if (!droppedFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void MdiMain::dropEvent(QDropEvent *e)
{
    const QStringList paths = droppedFiles(e->mimeData());
    if (paths.isEmpty())
        return;
    e->acceptProposedAction();
    for (const QString &p : paths)
        fileops::OpenFile(p);
}
