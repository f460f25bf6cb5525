#pragma once

#include "documents/documentrecord.h"

#include <QTemporaryDir>

class FrmDoc;
class MdiMain;

// A running frame for window tests, torn down with every document window and
// registry slot when the fixture goes, so each test starts from nothing.
class AppFixture
{
public:
    AppFixture();
    ~AppFixture();

    MdiMain *frame() const { return m_frame; }
    FrmDoc *doc(int slot) const;
    DocumentRecord &record(int slot) const;
    // The document window whose menus the frame shows.
    FrmDoc *current() const;

    FrmDoc *newDocument(); // File > New on the frame or the current window
    // Triggers a document window's menu entry by its object name.
    static void trigger(FrmDoc *doc, const QString &name, int index = -1);
    void triggerFrame(const QString &name);

    // Files in a folder of this fixture.
    QString path(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    static QByteArray readFile(const QString &path);

private:
    QTemporaryDir m_dir;
    MdiMain *m_frame;
};
