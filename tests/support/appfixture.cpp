#include "appfixture.h"

#include "app/mdimain.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "testmain.h"

#include <QAction>
#include <QtTest>

AppFixture::AppFixture() : m_frame(new MdiMain)
{
    platform::clearFileFaults();
    m_frame->show();
}

AppFixture::~AppFixture()
{
    platform::clearFileFaults();
    DocumentRegistry &reg = DocumentRegistry::instance();
    // Nothing may ask questions during tear-down.
    for (int slot : reg.slotsWithWindows())
        reg.record(slot).Changed = reg.record(slot).InUse = false;
    delete m_frame;
    QCoreApplication::processEvents();
    reg.reset();
}

FrmDoc *AppFixture::doc(int slot) const
{
    return dynamic_cast<FrmDoc *>(DocumentRegistry::instance().window(slot));
}

DocumentRecord &AppFixture::record(int slot) const
{
    return DocumentRegistry::instance().record(slot);
}

FrmDoc *AppFixture::current() const
{
    return m_frame->menuOwner();
}

FrmDoc *AppFixture::newDocument()
{
    current() ? trigger(current(), QStringLiteral("mnuFileNew")) : triggerFrame(QStringLiteral("mnuNew"));
    return current();
}

// A missing entry fails the test instead of doing nothing.
static void fire(QAction *a, const QString &missing)
{
    a ? a->trigger() : QTest::qFail(qPrintable(missing), __FILE__, __LINE__);
}

void AppFixture::trigger(FrmDoc *doc, const QString &name, int index)
{
    fire(doc ? doc->action(name, index) : nullptr, QStringLiteral("no menu entry ") + name);
}

void AppFixture::triggerFrame(const QString &name)
{
    fire(m_frame->frameAction(name), QStringLiteral("no frame menu entry ") + name);
}

QString AppFixture::writeFile(const QString &name, const QByteArray &bytes) const
{
    return testsupport::writeBytes(path(name), bytes);
}

QByteArray AppFixture::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
