#pragma once

#include <QString>

class QAction;
class QToolBar;
class QWidget;

// The document window's toolbar: twelve keyed buttons (three of them
// separators), each with a 16 by 16 icon whose key, like its tooltip, is the
// button's key.
namespace doctoolbar {

QToolBar *build(QWidget *parent);
// The button of a key ("New", "Open", ... "Print").
QAction *button(QToolBar *bar, const QString &key);

} // namespace doctoolbar
