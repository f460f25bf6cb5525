#include "platform/styledload.h"

#include "platform/engineloader.h"

#include <Qsci/qsciscintillabase.h>

#include <QThread>

#include <cstddef>

StyledLoad::StyledLoad(QsciScintillaBase &control, const QByteArray &text, qsizetype room,
                       const std::function<void(void *doc)> &prepare, std::function<void()> done)
    // No bytes asked for here: the buffers are made on the worker.
    : m_text(text), m_room(room), m_loader(std::make_unique<EngineLoader>(0, true))
{
    // It can be set up now, while empty, and still be filled afterwards.
    if (m_loader->isValid())
        prepare(m_loader->document());
    m_thread = QThread::create([this] { run(); });
    QObject::connect(m_thread, &QThread::finished, &control, std::move(done), Qt::QueuedConnection);
    m_thread->start();
}

StyledLoad::~StyledLoad()
{
    m_thread->wait();
    delete m_thread;
}

void StyledLoad::run()
{
    // In one piece: the buffers are made once at the text's size (pieces
    // would have them grow and be copied again and again).
    bool ok = m_loader->isValid() && m_loader->add(m_text);
    if (ok && m_room > 0)
        ok = m_loader->add(QByteArray(m_room, ' '));
    m_ok = ok;
    m_finished.store(true);
}

void StyledLoad::wait()
{
    m_thread->wait();
}

void *StyledLoad::take()
{
    m_thread->wait();
    return m_ok ? m_loader->take() : nullptr;
}
