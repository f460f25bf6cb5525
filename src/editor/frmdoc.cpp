#include "editor/frmdoc.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "documents/recoverykeeper.h"
#include "editor/doctoolbar.h"
#include "editor/extras.h"
#include "editor/findbar.h"
#include "editor/formatcommands.h"
#include "editor/frmabout.h"
#include "editor/keyboardstate.h"
#include "editor/sourcecommands.h"
#include "editor/sourceview.h"
#include "inserts/commands.h"
#include "platform/clipboard.h"
#include "platform/commands.h"
#include "platform/textcontrol.h"
#include "projects/commands.h"
#include "templates/commands.h"
#include "tools/commands.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

static void initToolbarIcons()
{
    Q_INIT_RESOURCE(icons);
}

FrmDoc::FrmDoc(int slot, QWidget *parent) : QWidget(parent), m_slot(slot)
{
    initToolbarIcons();
    setObjectName(QStringLiteral("frmDoc"));

    m_toolBar = doctoolbar::build(this);
    m_text = new TextControl(this);
    m_text->setObjectName(QStringLiteral("txtContents"));
    m_sourceView = new SourceView(m_text);
    m_findBar = new FindBar(m_text, this);
    buildStatusBar();

    // Toolbar on top, status bar at the bottom, the text control between
    // them taking the rest of the client area. The find bar, while shown,
    // sits above the status bar and the text gives up its height.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_findBar);
    layout->addWidget(m_statusBar);
    setFocusProxy(m_text);

    m_menus = menutree::build(menutree::documentMenu(), this);
    m_text->unbindKeys(menutree::allShortcuts());
    m_text->installEventFilter(this);
    m_undo.attach(m_text);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("Timer1"));
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(0);
    connect(m_refreshTimer, &QTimer::timeout, this, &FrmDoc::refreshTick);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("Timer2"));
    m_statusTimer->setInterval(1000);
    connect(m_statusTimer, &QTimer::timeout, this, &FrmDoc::statusTick);
    m_undoTimer = new QTimer(this);
    m_undoTimer->setObjectName(QStringLiteral("Undotimer"));
    m_undoTimer->setInterval(1000);
    connect(m_undoTimer, &QTimer::timeout, this, &FrmDoc::undoTick);

    connect(m_text, &TextControl::changed, this, &FrmDoc::onTextChanged);
    connect(m_text, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { scheduleRefresh(); });
    connect(m_text, &TextControl::overtypeChanged, this, &FrmDoc::scheduleRefresh);
    // A huge file is read straight into a document without style bytes.
    connect(m_text, &TextControl::styleBytesDropped, this,
            [this] { showNotice(QStringLiteral("Colours are off for a file this big")); });
    connect(&recovery::Keeper::instance(), &recovery::Keeper::protectionChanged, this, &FrmDoc::statusTick);
    connect(m_text, &TextControl::formatChanged, this, [this] {
        setPanelText(Panel::Format, m_text->format().label());
        setPanelText(Panel::Length, QStringLiteral("Length: ") + QString::number(m_text->characterCount()));
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &FrmDoc::scheduleRefresh);
    connect(&keyboardstate::instance(), &keyboardstate::State::changed, this, &FrmDoc::scheduleRefresh);
    connect(m_toolBar, &QToolBar::actionTriggered, this,
            [this](QAction *a) { runToolButton(a->data().toString()); });

    connectCommands();
    rebuildMenus();
    setWindowTitle(QStringLiteral("Untitled"));

    m_statusTimer->start();
    m_undoTimer->start();
    scheduleRefresh();
}

FrmDoc::~FrmDoc()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (reg.window(m_slot) == this)
        reg.windowDestroyed(m_slot);
}

QAction *FrmDoc::action(const QString &name, int index) const
{
    return m_menus.find(name, index);
}

QAction *FrmDoc::toolButton(const QString &key) const
{
    return doctoolbar::button(m_toolBar, key);
}

QMdiSubWindow *FrmDoc::subWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void FrmDoc::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("stBar"));
    m_statusBar->setSizeGripEnabled(false);
    const QStringList texts = {QString(),
                               QString(),
                               QStringLiteral("Length: 0"),
                               QStringLiteral("Status"),
                               QString(),
                               QStringLiteral("CAPS"),
                               QStringLiteral("INS"),
                               m_text->format().label()};
    const QStringList keys = {QStringLiteral("fsize"),
                              QString(),
                              QStringLiteral("lngth"),
                              QStringLiteral("Status"),
                              QString(),
                              QString(),
                              QString(),
                              QStringLiteral("format")};
    const int inch = logicalDpiX() > 0 ? logicalDpiX() : 96;
    for (int i = 0; i < texts.size(); ++i) {
        auto *panel = new QLabel(texts[i], m_statusBar);
        panel->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        panel->setProperty("key", keys[i]);
        panel->setMinimumWidth(inch);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        m_statusBar->addWidget(panel, i == 3 ? 1 : 0);
        m_panels << panel;
    }
    panel(Panel::CapsLock)->setEnabled(false);
    panel(Panel::Insert)->setEnabled(false);
    // A click on the format opens the same choices as the Options menu.
    panel(Panel::Format)->setToolTip(QStringLiteral("Line ends and encoding: click to change"));
    panel(Panel::Format)->installEventFilter(this);
    connect(m_statusBar, &QStatusBar::messageChanged, this, [this](const QString &message) {
        if (message.isEmpty())
            for (QLabel *panel : std::as_const(m_panels))
                panel->show();
    });
    updateClock();
}

QString FrmDoc::panelText(Panel which) const
{
    return panel(which)->text();
}

void FrmDoc::setPanelText(Panel which, const QString &text)
{
    if (panel(which)->text() != text)
        panel(which)->setText(text);
}

std::optional<FrmDoc::Panel> FrmDoc::panelPosition(const QString &key) const
{
    if (key.isEmpty())
        return std::nullopt;
    for (int i = 0; i < m_panels.size(); ++i)
        if (m_panels[i]->property("key").toString() == key)
            return Panel(i);
    return std::nullopt;
}

bool FrmDoc::panelActive(Panel which) const
{
    return panel(which)->isEnabled();
}

void FrmDoc::showDocument()
{
    refreshTick();
    if (QMdiSubWindow *sw = subWindow()) {
        sw->show();
        if (sw->mdiArea())
            sw->mdiArea()->setActiveSubWindow(sw);
    }
    show();
    m_text->setFocus();
}

void FrmDoc::hideDocument()
{
    if (QMdiSubWindow *sw = subWindow())
        sw->hide();
    else
        hide();
}

void FrmDoc::resetForNewDocument()
{
    m_text->setText(QByteArrayView());
    m_sourceView->setLanguage(languages::Language::Plain);
    m_sourceView->setLongLines(false);
    m_sourceView->resetZoom(); // a fresh document starts at the preferred size
    m_findBar->hide();
    m_undo.reset();
}

void FrmDoc::pathChanged(const QString &path)
{
    m_sourceView->setPath(path);
}

void FrmDoc::setLongLines(bool on)
{
    const bool was = m_sourceView->longLines();
    m_sourceView->setLongLines(on);
    if (on && !was)
        showNotice(QStringLiteral("Very long lines: colours and matching braces are off for this file"));
}

void FrmDoc::showNotice(const QString &text)
{
    // The panels stand aside while it shows (the bar would paint the message
    // under them), and come back when it goes: after long enough to be read.
    for (QLabel *panel : std::as_const(m_panels))
        panel->hide();
    m_statusBar->showMessage(text, 10000);
}

void FrmDoc::scheduleRefresh()
{
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void FrmDoc::refreshTick()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(m_slot))
        return;
    const DocumentRecord &rec = reg.record(m_slot);
    if (windowTitle() != rec.Title)
        setWindowTitle(rec.Title);
    const bool undo = rec.Undo.snapshotAvailable();
    action(QStringLiteral("mnuEditUndo"))->setEnabled(undo);
    action(QStringLiteral("mnuSelection"))->setEnabled(m_text->selLength() >= 1);
    const bool paste = platform::clipboard().hasText();
    action(QStringLiteral("mnuEditPaste"))->setEnabled(paste);
    toolButton(QStringLiteral("Undo"))->setVisible(undo);
    toolButton(QStringLiteral("Paste"))->setVisible(paste);

    panel(Panel::CapsLock)->setEnabled(keyboardstate::instance().capsLock());
    panel(Panel::Insert)->setEnabled(m_text->overtype());
}

void FrmDoc::statusTick()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (reg.isValidSlot(m_slot))
        setPanelText(Panel::Status,
                     reg.record(m_slot).Changed ? changedStatus() : QStringLiteral("Document is clean"));
    updateClock();
    // A safety net for states changed from outside this window's own commands.
    refreshTick();
}

void FrmDoc::updateClock()
{
    // The date and time panels, kept to the minute.
    const QDateTime now = QDateTime::currentDateTime();
    const QString minute = now.toString(QStringLiteral("yyyyMMddHHmm"));
    if (minute != m_lastMinute) {
        m_lastMinute = minute;
        const QLocale locale;
        setPanelText(Panel::Date, locale.toString(now.date(), QLocale::ShortFormat));
        setPanelText(Panel::Time, locale.toString(now.time(), QStringLiteral("HH:mm")));
    }
}

void FrmDoc::undoTick()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!m_undo.pending() || !reg.isValidSlot(m_slot))
        return;
    m_undo.tick(m_slot);
    scheduleRefresh();
}

void FrmDoc::onTextChanged()
{
    markChanged();
}

QString FrmDoc::changedStatus() const
{
    // While no copy of unsaved work can be kept, the panel says so.
    return recovery::Keeper::instance().unprotected() ? QStringLiteral("Unsaved Changes Made (not protected)")
                                                      : QStringLiteral("Unsaved Changes Made");
}

void FrmDoc::markChanged()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (reg.isValidSlot(m_slot))
        reg.record(m_slot).Changed = true;
    setPanelText(Panel::Length, QStringLiteral("Length: ") + QString::number(m_text->characterCount()));
    setPanelText(Panel::Status, changedStatus());
}

void FrmDoc::createRecentItems()
{
    QAction *pattern = action(QStringLiteral("mnuOpenRecent"), 0);
    auto *openMenu = findChild<QMenu *>(QStringLiteral("mnuFileOpenSelection"));
    if (!pattern || !openMenu || action(QStringLiteral("mnuOpenRecent"), 1))
        return;
    for (int i = 1; i <= recentfiles::Count; ++i) {
        auto *item = new QAction(pattern->text(), this);
        item->setObjectName(QStringLiteral("mnuOpenRecent"));
        item->setProperty("index", i);
        item->setVisible(false);
        openMenu->addAction(item);
        m_menus.actions << item;
        connect(item, &QAction::triggered, this, [item] { fileops::OpenFile(item->data().toString()); });
    }
}

void FrmDoc::rebuildMenus()
{
    extras::SetUpViewEntries(*this);
    // Items 1 to 15 are made from the hidden pattern item the first time; an
    // item once shown stays shown, as the list never gets shorter.
    createRecentItems();
    int j = 1;
    for (const QString &path : recentfiles::entries()) {
        QAction *item = action(QStringLiteral("mnuOpenRecent"), j++);
        if (!item)
            break;
        item->setText(menutree::escapeAmpersands(path));
        item->setData(path);
        item->setVisible(true);
    }
}

void FrmDoc::afterFileCommand()
{
    refreshTick();
    rebuildMenus();
}

void FrmDoc::runSave()
{
    if (DocumentRegistry::instance().record(m_slot).Path.trimmed().isEmpty())
        fileops::SaveDocumentAs(m_slot);
    else
        fileops::SaveDocument(m_slot);
    afterFileCommand();
}

void FrmDoc::connectCommands()
{
    platform::wire(this, "mnuFileNew", [] { documents::NewDocument(); });
    platform::wire(this, "mnuFileOpen", [this] {
        fileops::OpenFileWithDialog();
        afterFileCommand();
    });
    platform::wire(this, "mnuFileSave", [this] { runSave(); });
    platform::wire(this, "mnuFileSaveAs", [this] {
        fileops::SaveDocumentAs(m_slot);
        afterFileCommand();
    });
    platform::wire(this, "mnuFileSaveBinary", [this] {
        fileops::SaveDocumentBinary(m_slot);
        afterFileCommand();
    });
    platform::wire(this, "mnuFileClose", [this] { documents::CloseDocument(this); });
    platform::wire(this, "mnuFileExit", [this] {
        if (QMdiSubWindow *sw = subWindow())
            sw->close();
        else
            close();
    });
    platform::wire(this, "mnuEditUndo", [this] {
        m_undo.undo(m_slot);
        scheduleRefresh();
    });
    platform::wire(this, "mnuEditCut", [this] { m_text->cutToClipboard(); });
    platform::wire(this, "mnuEditCopy", [this] { m_text->copyToClipboard(); });
    platform::wire(this, "mnuEditPaste", [this] { m_text->pasteFromClipboard(); });
    platform::wire(this, "mnuEditSelectAll", [this] { m_text->selectAllText(); });
    platform::wire(this, "mnuSelectClear", [this] { m_text->setSelLength(0); });
    platform::wire(this, "mnuHelpAbout", [] { FrmAbout::showAbout(); });

    if (QMenu *list = findChild<QMenu *>(QStringLiteral("mnuViewList")))
        connect(list, &QMenu::aboutToShow, this, &FrmDoc::populateWindowList);

    // The commands of the feature folders wire themselves by entry name.
    templates::attach(*this);
    inserts::attach(*this);
    tools::attach(*this);
    projects::attach(*this);
    extras::attach(*this);
    sourcecommands::attach(*this);
    formatcommands::attach(*this);

    // Whatever a command did, its window's states are right before the user looks again.
    for (QAction *a : std::as_const(m_menus.actions))
        connect(a, &QAction::triggered, this, &FrmDoc::scheduleRefresh);
    for (QMenu *m : std::as_const(m_menus.topLevel))
        connect(m, &QMenu::aboutToShow, this, &FrmDoc::refreshTick);
}

void FrmDoc::runToolButton(const QString &key)
{
    if (key == QLatin1String("Delete")) {
        m_text->deleteSelection();
    } else {
        static const QHash<QString, QString> commands = {
            {QStringLiteral("New"), QStringLiteral("mnuFileNew")},
            {QStringLiteral("Open"), QStringLiteral("mnuFileOpen")},
            {QStringLiteral("Save"), QStringLiteral("mnuFileSave")},
            {QStringLiteral("Undo"), QStringLiteral("mnuEditUndo")},
            {QStringLiteral("Cut"), QStringLiteral("mnuEditCut")},
            {QStringLiteral("Copy"), QStringLiteral("mnuEditCopy")},
            {QStringLiteral("Paste"), QStringLiteral("mnuEditPaste")},
            {QStringLiteral("Print"), QStringLiteral("mnuFilePrint")},
        };
        // The button runs its menu entry's command even while a tick has the entry disabled.
        platform::runCommand(action(commands.value(key)));
    }
    scheduleRefresh();
}

void FrmDoc::populateWindowList()
{
    QMenu *list = findChild<QMenu *>(QStringLiteral("mnuViewList"));
    QMdiSubWindow *own = subWindow();
    if (!list || !own || !own->mdiArea())
        return;
    list->clear();
    QMdiArea *area = own->mdiArea();
    int n = 0;
    for (QMdiSubWindow *sw : area->subWindowList()) {
        if (!sw->isVisible())
            continue;
        ++n;
        QAction *a = list->addAction(
            QStringLiteral("&%1 %2").arg(n).arg(menutree::escapeAmpersands(sw->windowTitle())));
        a->setCheckable(true);
        a->setChecked(sw == area->currentSubWindow());
        connect(a, &QAction::triggered, area, [area, sw] { area->setActiveSubWindow(sw); });
    }
}

bool FrmDoc::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_text && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease))
        keyboardstate::instance().noteKeyEvent(static_cast<QKeyEvent *>(e));
    if (watched == panel(Panel::Format) && e->type() == QEvent::MouseButtonRelease) {
        if (QMenu *menu = formatcommands::formatMenu(*this))
            menu->popup(static_cast<QMouseEvent *>(e)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void FrmDoc::closeEvent(QCloseEvent *e)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    // A window whose slot is already free has nothing left to ask about.
    if (reg.isValidSlot(m_slot) && reg.record(m_slot).InUse && documents::CloseDocument(this)) {
        e->ignore();
        return;
    }
    e->accept();
    // The window goes at the next turn of the event loop; a document created
    // before then must get a fresh window, not this one.
    if (reg.window(m_slot) == this)
        reg.windowDestroyed(m_slot);
}

void FrmDoc::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    scheduleRefresh();
    emit visibilityChanged();
}

void FrmDoc::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    emit visibilityChanged();
}
