#include "documents/recoverykeeper.h"

#include "documents/documentregistry.h"
#include "documents/documents.h"
#include "documents/documentwindow.h"
#include "documents/saveledger.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QThread>

#include <cstring>

namespace recovery {

namespace {

// The whole text in one copy, taken in two pieces on either side of the
// engine's gap: asking for it in one piece would move the gap to the end,
// and the next keystroke would move it back, each a pass over the text.
// Reuses the buffer when no write still holds it: while the user keeps
// typing, fresh memory for every journal would cost more than the copy.
void copyText(TextControl *control, QByteArray &out)
{
    const qsizetype n = control->length();
    if (!out.isDetached() || out.capacity() < n) {
        // Room to grow, as the text does while the user types.
        out = QByteArray();
        out.reserve(n + qMax(n / 32, qsizetype(64 * 1024)));
    }
    out.resize(n);
    const qsizetype gap =
        qBound(qsizetype(0), qsizetype(control->SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION)), n);
    const QByteArrayView before = control->bytes(0, gap), after = control->bytes(gap, n - gap);
    std::memcpy(out.data(), before.data(), size_t(before.size()));
    std::memcpy(out.data() + before.size(), after.data(), size_t(after.size()));
}

} // namespace

QString defaultRoot()
{
    return platform::dataFolder() + QStringLiteral("recovery/");
}

Keeper &Keeper::instance()
{
    static Keeper *keeper = new Keeper; // lives to the end; its worker must not outlive Qt
    return *keeper;
}

Keeper::~Keeper()
{
    m_pool.waitForDone();
}

bool Keeper::start(const QString &root)
{
    if (m_folder.isOpen())
        return true;
    m_root = root;
    m_pool.setMaxThreadCount(1);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &Keeper::tick, Qt::UniqueConnection);
    m_timer.start();
    // Only a completed close procedure (shutdown) removes the journals; any
    // other end keeps them up to date for the next start.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &Keeper::keepForNextStart, Qt::UniqueConnection);
    saveledger::setFailureHandler([this](const QString &reason) { noteFailure(reason); });
    tryToOpen();
    return m_folder.isOpen();
}

void Keeper::tryToOpen()
{
    if (m_folder.open(m_root)) {
        saveledger::setFolder(m_folder.path());
        setUnprotected(false);
        return;
    }
    m_ticksToRetry = kTicksBetweenWrites;
    setUnprotected(true, m_folder.error());
}

void Keeper::noteFailure(const QString &reason)
{
    // A huge save writes its ledger note on a worker: the user is told on the window's thread.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, reason] { setUnprotected(true, reason); }, Qt::QueuedConnection);
        return;
    }
    setUnprotected(true, reason);
}

void Keeper::setUnprotected(bool on, const QString &reason)
{
    if (on == m_unprotected || m_telling)
        return;
    m_unprotected = on;
    emit protectionChanged();
    const QString folder = m_folder.isOpen() ? m_folder.path() : m_root;
    // Said once each way, and never over a message still open about it.
    m_telling = true;
    if (on)
        platform::message(QStringLiteral("Quillpad cannot keep a copy of your unsaved work in \"%1\": %2.\r\n"
                                         "If the program ends unexpectedly, unsaved changes will be lost; "
                                         "save your documents to keep them.")
                              .arg(folder, reason),
                          platform::Buttons::Ok, platform::Icon::Exclamation);
    else if (m_shownFailure)
        platform::message(
            QStringLiteral("Quillpad keeps a copy of your unsaved work in \"%1\" again.").arg(folder));
    m_shownFailure = m_shownFailure || on;
    m_telling = false;
}

void Keeper::tick()
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    if (!m_folder.isOpen()) {
        // Without a folder nothing is protected; try again while there is work to protect.
        bool unsaved = false;
        for (int slot = 1; slot <= reg.docCount(); ++slot)
            unsaved = unsaved || (reg.window(slot) && reg.record(slot).InUse && reg.record(slot).Changed);
        if (!m_root.isEmpty() && unsaved && --m_ticksToRetry <= 0)
            tryToOpen();
        if (!m_folder.isOpen())
            return;
    }
    // Journals of slots that are gone or hold another document by now.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        const int slot = it->first;
        const bool same = reg.isValidSlot(slot) && reg.generation(slot) == it->second.generation;
        const bool wanted = same && reg.window(slot) && reg.record(slot).InUse && reg.record(slot).Changed;
        if (wanted) {
            ++it;
            continue;
        }
        remove(it->second);
        it = m_entries.erase(it);
    }
    for (int slot = 1; slot <= reg.docCount(); ++slot) {
        DocumentWindow *w = reg.window(slot);
        const DocumentRecord &rec = reg.record(slot);
        if (!w || !rec.InUse || !rec.Changed)
            continue;
        auto found = m_entries.find(slot);
        if (found == m_entries.end()) {
            Entry e;
            e.generation = reg.generation(slot);
            e.file = QDir(m_folder.path())
                         .filePath(QStringLiteral("%1-%2").arg(slot).arg(e.generation) +
                                   QLatin1String(kJournalSuffix));
            found = m_entries.emplace(slot, std::move(e)).first;
        }
        Entry &e = found->second;
        ++e.ticksSinceWrite;
        const WriteState state = e.result->state.load();
        if (state == WriteState::Busy)
            continue;
        const bool failed = state == WriteState::Failed;
        if (e.awaited) {
            e.awaited = false;
            setUnprotected(failed, e.result->error);
        }
        const bool moved = !e.written || failed || e.changeCount != w->textControl()->changeCount() ||
                           e.title != rec.Title || e.path != rec.Path ||
                           e.format != w->textControl()->format();
        // A failed write (a full disk) is tried again at the same pace, not every tick.
        if (moved && e.ticksSinceWrite >= kTicksBetweenWrites)
            write(slot, e);
        if (moved) {
            e.quietTicks = 0;
        } else if (++e.quietTicks >= kTicksToKeepBuffer) {
            e.buffer = QByteArray(); // the user stopped: no need to keep the memory
        }
    }
}

void Keeper::write(int slot, Entry &e)
{
    DocumentWindow *w = DocumentRegistry::instance().window(slot);
    const DocumentRecord &rec = DocumentRegistry::instance().record(slot);
    Journal j;
    j.title = rec.Title;
    j.path = rec.Path;
    j.disk = rec.Disk;
    j.written = QDateTime::currentDateTimeUtc();
    j.format = w->textControl()->format();
    // The one copy this thread pays for; the worker does the rest.
    copyText(w->textControl(), e.buffer);
    QByteArray header = journalHeader(j, e.buffer.size());
    e.changeCount = w->textControl()->changeCount();
    e.title = rec.Title;
    e.path = rec.Path;
    e.format = j.format;
    e.written = true;
    e.ticksSinceWrite = 0;
    e.awaited = true;
    e.result->state.store(WriteState::Busy);
    m_pool.start([file = e.file, header = std::move(header), text = e.buffer, result = e.result]() mutable {
        QSaveFile f(file);
        const bool ok = f.open(QIODevice::WriteOnly) && f.write(header) == header.size() &&
                        f.write(text) == text.size() && f.commit();
        if (!ok) {
            result->error = f.errorString();
            f.cancelWriting();
        }
        text = QByteArray(); // hands the buffer back before saying so
        result->state.store(ok ? WriteState::Idle : WriteState::Failed);
    });
}

void Keeper::remove(Entry &e)
{
    if (!e.written)
        return;
    m_pool.start([file = e.file] { QFile::remove(file); });
    e.written = false;
}

void Keeper::setTimerRunning(bool on)
{
    if (!on)
        m_timer.stop();
    else if (m_folder.isOpen())
        m_timer.start();
}

void Keeper::waitForWrites()
{
    m_pool.waitForDone();
}

void Keeper::journalNow()
{
    if (!m_folder.isOpen())
        return;
    m_pool.waitForDone();
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (auto &[slot, e] : m_entries)
        e.ticksSinceWrite = kTicksBetweenWrites; // no pacing now
    tick();
    m_pool.waitForDone();
    for (auto &[slot, e] : m_entries) {
        // A tick only writes what moved; what was still being written then is written again.
        DocumentWindow *w = reg.window(slot);
        if (w && e.changeCount != w->textControl()->changeCount())
            write(slot, e);
    }
    m_pool.waitForDone();
}

void Keeper::shutdown()
{
    m_timer.stop();
    m_pool.waitForDone();
    m_entries.clear();
    saveledger::setFolder(QString());
    m_folder.removeAll();
    // Nothing is left to protect; a later start begins afresh.
    m_unprotected = m_shownFailure = false;
}

void Keeper::keepForNextStart()
{
    m_timer.stop();
    journalNow();
}

bool Keeper::restore(const Journal &journal, const QString &file)
{
    DocumentWindow *w = documents::CreateDocumentWindow();
    if (!w)
        return false;
    const int slot = w->slot();
    {
        DocumentRecord &rec = DocumentRegistry::instance().record(slot);
        rec.Title = journal.title;
        rec.Path = journal.path;
        rec.Disk = journal.disk;
    }
    // The format goes first, while the document is still empty.
    w->textControl()->setFormat(journal.format);
    if (!journal.path.isEmpty())
        w->pathChanged(journal.path);
    w->textControl()->setText(QByteArrayView(journal.text));
    DocumentRecord &rec = DocumentRegistry::instance().record(slot);
    rec.Changed = true; // Save writes it back to where it came from
    w->showDocument();
    if (!m_folder.isOpen())
        return true;
    // The journal moves over as it is: it already holds this text.
    Entry e;
    e.generation = DocumentRegistry::instance().generation(slot);
    e.file =
        QDir(m_folder.path())
            .filePath(QStringLiteral("%1-%2").arg(slot).arg(e.generation) + QLatin1String(kJournalSuffix));
    const auto old = m_entries.find(slot);
    if (old != m_entries.end()) {
        remove(old->second);
        m_entries.erase(old);
    }
    m_pool.waitForDone();
    QFile::remove(e.file);
    if (QFile::rename(file, e.file)) {
        e.written = true;
        e.changeCount = w->textControl()->changeCount();
        e.title = rec.Title;
        e.path = rec.Path;
        e.format = journal.format;
        e.ticksSinceWrite = 0;
    }
    m_entries[slot] = std::move(e);
    return true;
}

bool Keeper::restoreRaw(const QString &file)
{
    QByteArray bytes;
    if (!platform::readWholeFile(file, &bytes, nullptr))
        return false;
    DocumentWindow *w = documents::CreateDocumentWindow();
    if (!w)
        return false;
    const int slot = w->slot();
    w->textControl()->setText(QByteArrayView(bytes)); // byte for byte, as the classic format holds them
    DocumentRegistry::instance().record(slot).Changed = true;
    w->showDocument();
    journalNow();
    const auto it = m_entries.find(slot);
    if (it != m_entries.end() && it->second.written && it->second.result->state.load() == WriteState::Idle)
        QFile::remove(file);
    return true;
}

QString Keeper::journalFile(int slot) const
{
    const auto it = m_entries.find(slot);
    return it != m_entries.end() && it->second.written ? it->second.file : QString();
}

} // namespace recovery
