#include "editor/frmdoc.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/fileops.h"
#include "documents/recentfiles.h"
#include "editor/extras.h"
#include "inserts/commands.h"
#include "platform/textcontrol.h"
#include "projects/commands.h"
#include "templates/commands.h"
#include "tools/commands.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTime>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>

FrmDoc::FrmDoc(int slot, QWidget *parent) : QWidget(parent), m_slot(slot), m_text(new TextControl(this))
{
    setObjectName(QStringLiteral("frmDoc"));
    m_text->setObjectName(QStringLiteral("txtContents"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_text);
    buildStatusBar();
    layout->addWidget(m_statusBar);
    setFocusProxy(m_text);

    buildMenus();
    m_text->unbindKeys(menutree::allShortcuts());
    connect(m_text, &TextControl::changed, this, &FrmDoc::onTextChanged);
    connectCommands();
    rebuildMenus();
    setWindowTitle(QStringLiteral("Untitled"));
}

FrmDoc::~FrmDoc()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (reg.window(m_slot) == this)
        reg.windowDestroyed(m_slot);
}

void FrmDoc::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("stBar"));
    m_statusBar->setSizeGripEnabled(false);
    const QLocale locale;
    const QStringList texts = {locale.toString(QDate::currentDate(), QLocale::ShortFormat),
                               locale.toString(QTime::currentTime(), QStringLiteral("HH:mm")),
                               QStringLiteral("Length: 0"),
                               QStringLiteral("Status"),
                               QString(),
                               QStringLiteral("CAPS"),
                               QStringLiteral("INS")};
    const QStringList keys = {QStringLiteral("fsize"), QString(), QStringLiteral("lngth"), QStringLiteral("Status"),
                              QString(), QString(), QString()};
    const int inch = logicalDpiX() > 0 ? logicalDpiX() : 96;
    for (int i = 0; i < texts.size(); ++i) {
        auto *panel = new QLabel(texts[i], m_statusBar);
        panel->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        panel->setProperty("key", keys[i]);
        panel->setMinimumWidth(inch);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        m_statusBar->addWidget(panel, i == 3 ? 1 : 0);
        m_panels << panel;
    }
}

QString FrmDoc::panelText(int position) const
{
    return position >= 1 && position <= m_panels.size() ? m_panels[position - 1]->text() : QString();
}

void FrmDoc::setPanelText(int position, const QString &text)
{
    if (position >= 1 && position <= m_panels.size() && m_panels[position - 1]->text() != text)
        m_panels[position - 1]->setText(text);
}

int FrmDoc::panelPosition(const QString &key) const
{
    for (int i = 0; i < m_panels.size(); ++i)
        if (m_panels[i]->property("key").toString() == key)
            return i + 1;
    return 0;
}

void FrmDoc::buildMenus() { m_menus = menutree::build(menutree::documentMenu(), this); }

QAction *FrmDoc::action(const QString &name, int index) const { return m_menus.find(name, index); }

QMdiSubWindow *FrmDoc::subWindow() const { return qobject_cast<QMdiSubWindow *>(parentWidget()); }

void FrmDoc::showDocument()
{
    refreshCaption();
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
}

void FrmDoc::refreshCaption()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!reg.isValidSlot(m_slot))
        return;
    const QString title = reg.record(m_slot).Title;
    if (windowTitle() != title)
        setWindowTitle(title);
}

void FrmDoc::onTextChanged()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (reg.isValidSlot(m_slot))
        reg.record(m_slot).Changed = true;
}

void FrmDoc::rebuildMenus()
{
    extras::SetUpViewEntries(*this);

    // Recent items 1 to 15 are made from the hidden pattern item the first time.
    QAction *pattern = action(QStringLiteral("mnuOpenRecent"), 0);
    QMenu *openMenu = pattern ? qobject_cast<QMenu *>(pattern->parent()) : nullptr;
    if (!action(QStringLiteral("mnuOpenRecent"), 1) && pattern) {
        openMenu = findChild<QMenu *>(QStringLiteral("mnuFileOpenSelection"));
        for (int i = 1; i <= recentfiles::Count; ++i) {
            auto *item = new QAction(pattern->text(), this);
            item->setObjectName(QStringLiteral("mnuOpenRecent"));
            item->setProperty("index", i);
            item->setVisible(false);
            openMenu->addAction(item);
            m_menus.actions << item;
            connect(item, &QAction::triggered, this, [item] {
                fileops::OpenFile(item->data().toString());
            });
        }
    }
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

void FrmDoc::connectCommands()
{
    auto on = [this](const char *name, auto fn) {
        if (QAction *a = action(QString::fromLatin1(name)))
            connect(a, &QAction::triggered, this, fn);
    };
    on("mnuFileNew", [] { documents::NewDocument(); });
    on("mnuFileOpen", [this] {
        fileops::OpenFileWithDialog();
        rebuildMenus();
    });
    on("mnuFileSave", [this] {
        DocumentRegistry &reg = DocumentRegistry::instance();
        if (reg.record(m_slot).Path.trimmed().isEmpty())
            fileops::SaveDocumentAs(m_slot);
        else
            fileops::SaveDocument(m_slot);
        refreshCaption();
        rebuildMenus();
    });
    on("mnuFileSaveAs", [this] {
        fileops::SaveDocumentAs(m_slot);
        refreshCaption();
        rebuildMenus();
    });
    on("mnuFileSaveBinary", [this] {
        fileops::SaveDocumentBinary(m_slot);
        refreshCaption();
        rebuildMenus();
    });
    on("mnuFileClose", [this] { documents::CloseDocument(this); });
    on("mnuFileExit", [this] {
        if (QMdiSubWindow *sw = subWindow())
            sw->close();
        else
            close();
    });
    on("mnuEditCut", [this] { m_text->cutToClipboard(); });
    on("mnuEditCopy", [this] { m_text->copyToClipboard(); });
    on("mnuEditPaste", [this] { m_text->pasteFromClipboard(); });
    on("mnuEditSelectAll", [this] { m_text->selectAllText(); });
    on("mnuSelectClear", [this] { m_text->setSelLength(0); });

    if (QMenu *list = findChild<QMenu *>(QStringLiteral("mnuViewList")))
        connect(list, &QMenu::aboutToShow, this, &FrmDoc::populateWindowList);

    // The commands of the feature folders wire themselves by entry name.
    templates::attach(*this);
    inserts::attach(*this);
    tools::attach(*this);
    projects::attach(*this);
    extras::attach(*this);
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
        QAction *a = list->addAction(QStringLiteral("&%1 %2").arg(n).arg(menutree::escapeAmpersands(sw->windowTitle())));
        a->setCheckable(true);
        a->setChecked(sw == area->currentSubWindow());
        connect(a, &QAction::triggered, area, [area, sw] { area->setActiveSubWindow(sw); });
    }
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
}

void FrmDoc::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    emit visibilityChanged();
}

void FrmDoc::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    emit visibilityChanged();
}
