#include "platform/commands.h"

#include <QAction>
#include <QDebug>
#include <QWidget>

namespace platform {

namespace {

// Holds an entry's command; a child of the entry, so it goes with it.
class Command : public QObject
{
public:
    Command(QAction *entry, std::function<void(bool)> run) : QObject(entry), run(std::move(run)) {}
    const std::function<void(bool)> run;
};

QList<Command *> commandsOf(const QAction *entry)
{
    QList<Command *> out;
    for (QObject *child : entry->children())
        if (auto *c = dynamic_cast<Command *>(child))
            out << c;
    return out;
}

QStringList &missing()
{
    static QStringList names;
    return names;
}

QAction *find(QWidget *window, const char *objectName, int index)
{
    // Direct children only: the frame holds the document windows, whose
    // entries share some of its names.
    const QString name = QString::fromLatin1(objectName);
    const QList<QAction *> found = window->findChildren<QAction *>(name, Qt::FindDirectChildrenOnly);
    for (QAction *a : found)
        if (index < 0 || a->property("index").toInt() == index)
            return a;
    QString where = window->objectName();
    if (where.isEmpty())
        where = QString::fromLatin1(window->metaObject()->className());
    const QString entry =
        where + QLatin1Char('/') + name + (index < 0 ? QString() : QStringLiteral("[%1]").arg(index));
    missing() << entry;
    qCritical("No menu entry %s to wire a command to", qPrintable(entry));
    return nullptr;
}

template <typename Signal>
QAction *connectEntry(QWidget *window, const char *objectName, int index, Signal signal,
                      std::function<void(bool)> handler)
{
    QAction *a = find(window, objectName, index);
    if (!a)
        return nullptr;
    auto *command = new Command(a, std::move(handler));
    QObject::connect(a, signal, command, [command](bool on) { command->run(on); });
    return a;
}

} // namespace

QAction *wire(QWidget *window, const char *objectName, std::function<void()> handler)
{
    return wire(window, objectName, -1, std::move(handler));
}

QAction *wire(QWidget *window, const char *objectName, int index, std::function<void()> handler)
{
    return connectEntry(window, objectName, index, &QAction::triggered,
                        [handler = std::move(handler)](bool) { handler(); });
}

QAction *wireChecked(QWidget *window, const char *objectName, std::function<void(bool)> handler)
{
    return connectEntry(window, objectName, -1, &QAction::triggered, std::move(handler));
}

QAction *wireToggled(QWidget *window, const char *objectName, std::function<void(bool)> handler)
{
    return connectEntry(window, objectName, -1, &QAction::toggled, std::move(handler));
}

void runCommand(QAction *entry)
{
    if (!entry)
        return;
    for (Command *c : commandsOf(entry))
        c->run(entry->isChecked());
}

int commandCount(const QAction *entry)
{
    return entry ? int(commandsOf(entry).size()) : 0;
}

QStringList unwiredNames()
{
    return missing();
}

} // namespace platform
