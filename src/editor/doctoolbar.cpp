#include "editor/doctoolbar.h"

#include <QAction>
#include <QIcon>
#include <QToolBar>

namespace doctoolbar {

QToolBar *build(QWidget *parent)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    const char *const keys[] = {"New", "Open", "Save",  nullptr,  "Undo",  nullptr,
                                "Cut", "Copy", "Paste", "Delete", nullptr, "Print"};
    for (const char *k : keys) {
        if (!k) {
            bar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(k);
        QAction *a = bar->addAction(QIcon(QStringLiteral(":/toolbar/") + key), key);
        a->setObjectName(key);
        a->setToolTip(key);
        a->setData(key);
    }
    return bar;
}

QAction *button(QToolBar *bar, const QString &key)
{
    for (QAction *a : bar->actions())
        if (a->data().toString() == key)
            return a;
    return nullptr;
}

} // namespace doctoolbar
