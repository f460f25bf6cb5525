#pragma once

#include "templates/tagpass.h"

#include <QPointer>

class DocumentWindow;
class QWidget;
class TextControl;

namespace templates {

// The tag pass over a document window: its text control, its record's Title,
// the program's message and input boxes, and OpenFile for linked files.
class DocumentTagHost : public TagHost
{
public:
    explicit DocumentTagHost(DocumentWindow &window);

    QByteArray text() const override;
    void setText(QByteArrayView text) override;
    quint64 textVersion() const override;
    QString title() const override;
    void setTitle(const QString &title) override;
    void message(const QString &text, platform::Icon icon) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &initial) override;
    bool fileExists(const QString &path) const override;
    void openFile(const QString &path) override;
    // The window still shows the document the pass started on.
    bool isAlive() const override;
    // By the document's own format.
    QString decode(QByteArrayView bytes) const override;
    QByteArray encode(const QString &text, int *replaced) const override;

private:
    int m_slot;
    quint32 m_generation;
    QPointer<QWidget> m_widget;
    QPointer<TextControl> m_text;
};

// Tools > Execute of a document window.
void RunTagPass(DocumentWindow &window);

} // namespace templates
