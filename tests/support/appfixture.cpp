#include "appfixture.h"

#include "app/mdimain.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"

#include <QAction>
#include <QApplication>
#include <QFile>
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
    for (int slot : reg.slotsWithWindows()) {
        reg.record(slot).Changed = false;
        reg.record(slot).InUse = false;
    }
    delete m_frame;
    QApplication::processEvents();
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
    if (FrmDoc *d = current())
        trigger(d, QStringLiteral("mnuFileNew"));
    else
        triggerFrame(QStringLiteral("mnuNew"));
    return current();
}

void AppFixture::trigger(FrmDoc *doc, const QString &name, int index)
{

    QAction *a = doc ? doc->action(name, index) : nullptr;
    if (!a)
        QTest::qFail(qPrintable(QStringLiteral("no menu entry ") + name), __FILE__, __LINE__);
    else
        a->trigger();
}

void AppFixture::triggerFrame(const QString &name)
{
    QAction *a = m_frame->frameAction(name);
    if (!a)
        QTest::qFail(qPrintable(QStringLiteral("no frame menu entry ") + name), __FILE__, __LINE__);
    else
        a->trigger();
}

QString AppFixture::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString p = path(name);
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return p;
}

QByteArray AppFixture::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
