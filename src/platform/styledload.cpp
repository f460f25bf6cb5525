#include "platform/styledload.h"

#include <Qsci/qsciscintillabase.h>

#include <QThread>

#include <cstddef>

// The engine's loader interface (not among QScintilla's installed headers):
// a document filled from any thread, then handed to a view on its own. Kept
// out of an unnamed namespace, or the compiler would know no class derives
// from it here and turn the calls into aborts.
class ILoader
{
public:
    virtual int Release() = 0;
    virtual int AddData(const char *data, ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

StyledLoad::StyledLoad(QsciScintillaBase &control, const QByteArray &text, qsizetype room,
                       const std::function<void(void *doc)> &prepare,
                       std::function<void()> done)
    : m_text(text), m_room(room)
{
    // No bytes asked for here: the buffers are made on the worker.
    m_loader = reinterpret_cast<void *>(control.SendScintilla(
        QsciScintillaBase::SCI_CREATELOADER, 0UL, long(QsciScintillaBase::SC_DOCUMENTOPTION_DEFAULT)));
    // The document behind a loader is the loader itself: it can be set up
    // now and still be filled afterwards.
    if (m_loader)
        prepare(static_cast<ILoader *>(m_loader)->ConvertToDocument());
    m_thread = QThread::create([this] { run(); });
    QObject::connect(m_thread, &QThread::finished, &control, std::move(done), Qt::QueuedConnection);
    m_thread->start();
}

StyledLoad::~StyledLoad()
{
    m_thread->wait();
    delete m_thread;
    if (m_loader)
        static_cast<ILoader *>(m_loader)->Release();
}

void StyledLoad::run()
{
    auto *loader = static_cast<ILoader *>(m_loader);
    bool ok = loader != nullptr;
    // In one piece: the buffers are made once at the text's size (pieces
    // would have them grow and be copied again and again).
    if (ok && !m_text.isEmpty())
        ok = loader->AddData(m_text.constData(), m_text.size()) == 0;
    if (ok && m_room > 0) {
        const QByteArray blank(m_room, ' ');
        ok = loader->AddData(blank.constData(), blank.size()) == 0;
    }
    m_ok = ok;
    m_finished.store(true);
}

void *StyledLoad::take()
{
    m_thread->wait();
    if (!m_ok || !m_loader)
        return nullptr;
    void *doc = static_cast<ILoader *>(m_loader)->ConvertToDocument();
    m_loader = nullptr;
    return doc;
}
