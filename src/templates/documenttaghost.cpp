#include "templates/documenttaghost.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "platform/textcontrol.h"

namespace templates {

DocumentTagHost::DocumentTagHost(DocumentWindow &window)
    : m_slot(window.slot()), m_generation(DocumentRegistry::instance().generation(window.slot())),
      m_widget(window.widget()), m_text(window.textControl())
{
}

bool DocumentTagHost::isAlive() const
{
    const DocumentRegistry &reg = DocumentRegistry::instance();
    return m_widget && m_text && reg.isValidSlot(m_slot) && reg.generation(m_slot) == m_generation &&
           DocumentRegistry::instance().record(m_slot).InUse;
}

QString DocumentTagHost::decode(QByteArrayView bytes) const
{
    return m_text ? m_text->decode(bytes) : TagHost::decode(bytes);
}

QByteArray DocumentTagHost::encode(const QString &text, int *replaced) const
{
    return m_text ? m_text->encode(text, replaced) : TagHost::encode(text, replaced);
}

QByteArray DocumentTagHost::text() const
{
    return m_text ? m_text->text() : QByteArray();
}

void DocumentTagHost::setText(QByteArrayView text)
{
    if (isAlive())
        m_text->setText(text);
}

quint64 DocumentTagHost::textVersion() const
{
    return m_text ? m_text->changeCount() : 0;
}

QString DocumentTagHost::title() const
{
    return isAlive() ? DocumentRegistry::instance().record(m_slot).Title : QString();
}

void DocumentTagHost::setTitle(const QString &title)
{
    if (isAlive())
        DocumentRegistry::instance().record(m_slot).Title = title;
}

void DocumentTagHost::message(const QString &text, platform::Icon icon)
{
    platform::message(text, platform::Buttons::Ok, icon);
}

QString DocumentTagHost::inputBox(const QString &prompt, const QString &title, const QString &initial)
{
    return platform::inputBox(prompt, title, initial);
}

bool DocumentTagHost::fileExists(const QString &path) const
{
    return isRegularFile(path);
}

void DocumentTagHost::openFile(const QString &path)
{
    fileops::OpenFile(path);
}

void RunTagPass(DocumentWindow &window)
{
    DocumentTagHost host(window);
    RunTagPass(static_cast<TagHost &>(host));
}

} // namespace templates
