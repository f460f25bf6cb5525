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

namespace {

// In pieces, so the buffers grow by a share of their size each time instead
// of being copied whole for every piece.
constexpr qsizetype kPiece = qsizetype(4) << 20;

} // namespace

StyledLoad::StyledLoad(QsciScintillaBase &control, const QByteArray &text, qsizetype room,
                       quint64 changeCount, std::function<void()> done)
    : m_text(text), m_room(room), m_changeCount(changeCount)
{
    // No bytes asked for here: the buffers are made on the worker.
    m_loader = reinterpret_cast<void *>(control.SendScintilla(
        QsciScintillaBase::SCI_CREATELOADER, 0UL, long(QsciScintillaBase::SC_DOCUMENTOPTION_DEFAULT)));
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
    for (qsizetype at = 0; ok && at < m_text.size(); at += kPiece)
        ok = loader->AddData(m_text.constData() + at, qMin(kPiece, m_text.size() - at)) == 0;
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
