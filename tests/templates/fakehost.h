#pragma once

#include "templates/tagpass.h"

#include <QQueue>
#include <QSet>
#include <QStringList>

#include <functional>

// The tag pass over a plain buffer: answers input boxes from a script and
// writes every box, write and open into a transcript.
class FakeHost : public templates::TagHost
{
public:
    explicit FakeHost(const QByteArray &text = QByteArray()) : doc(text) {}

    QByteArray doc;
    QString docTitle = QStringLiteral("Untitled");
    QQueue<QString> answers;
    QSet<QString> files;       // paths that count as existing files
    QStringList transcript;    // "input|title|initial", "message|text", "open|path"
    QStringList prompts;       // the prompt texts of the input boxes
    QList<platform::Icon> icons; // one per message
    int reads = 0;
    int writes = 0;
    int titleWrites = 0;
    quint64 version = 1;
    std::function<void()> afterMessage; // runs after each message box
    bool alive = true;

    QByteArray text() const override
    {
        ++const_cast<FakeHost *>(this)->reads;
        return doc;
    }
    void setText(QByteArrayView text) override
    {
        doc = text.toByteArray();
        ++writes;
        ++version;
    }
    quint64 textVersion() const override { return version; }
    QString title() const override { return docTitle; }
    void setTitle(const QString &title) override
    {
        docTitle = title;
        ++titleWrites;
    }
    void message(const QString &text, platform::Icon icon) override
    {
        transcript << QStringLiteral("message|") + text;
        icons << icon;
        if (afterMessage)
            afterMessage();
    }
    QString inputBox(const QString &prompt, const QString &title, const QString &initial) override
    {
        transcript << QStringLiteral("input|") + title + QLatin1Char('|') + initial;
        prompts << prompt;
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
    bool fileExists(const QString &path) const override { return files.contains(path); }
    void openFile(const QString &path) override { transcript << QStringLiteral("open|") + path; }
    bool isAlive() const override { return alive; }
};
