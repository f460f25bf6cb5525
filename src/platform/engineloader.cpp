#include "platform/engineloader.h"

#include <Qsci/qsciscintillabase.h>

#include <cstddef>
#include <mutex>

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

// Loaders are asked of a widget; this one is never shown, so it never draws
// nor makes an accessible object. Making a loader is a call into the engine
// that touches no window, so a worker may make one (the buffer it allocates,
// as big as the file, then costs the worker the time it takes); the lock
// keeps two threads from using the widget at once.
std::mutex g_makerLock;

QsciScintillaBase &loaderMaker()
{
    static QsciScintillaBase *maker = [] {
        auto *w = new QsciScintillaBase;
        w->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
        return w;
    }();
    return *maker;
}

} // namespace

void EngineLoader::readyToMake()
{
    loaderMaker();
}

void EngineLoader::useCodePage(bool utf8)
{
    if (!m_loader)
        return;
    const std::lock_guard<std::mutex> lock(g_makerLock);
    QsciScintillaBase &maker = loaderMaker();
    maker.SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, document());
    maker.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, utf8 ? long(QsciScintillaBase::SC_CP_UTF8) : 0L);
    maker.SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, 0L);
}

EngineLoader::EngineLoader(qsizetype sizeHint, bool styled) : m_styled(styled)
{
    const std::lock_guard<std::mutex> lock(g_makerLock);
    m_loader = reinterpret_cast<void *>(loaderMaker().SendScintilla(
        QsciScintillaBase::SCI_CREATELOADER, static_cast<unsigned long>(qMax<qsizetype>(0, sizeHint)),
        long(styled ? QsciScintillaBase::SC_DOCUMENTOPTION_DEFAULT
                    : QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE)));
}

EngineLoader::~EngineLoader()
{
    if (m_loader)
        static_cast<ILoader *>(m_loader)->Release();
}

bool EngineLoader::add(QByteArrayView bytes)
{
    return m_loader &&
           (bytes.isEmpty() || static_cast<ILoader *>(m_loader)->AddData(bytes.data(), bytes.size()) == 0);
}

void *EngineLoader::document() const
{
    // The document behind a loader is the loader itself.
    return m_loader ? static_cast<ILoader *>(m_loader)->ConvertToDocument() : nullptr;
}

void *EngineLoader::take()
{
    void *doc = document();
    m_loader = nullptr;
    return doc;
}
