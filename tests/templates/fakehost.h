#pragma once

#include "templates/tagpass.h"

#include <QQueue>
#include <QSet>
#include <QStringList>

// The tag pass over a plain buffer: input boxes answered from a script, every
// box and opened file written into a transcript.
class FakeHost : public templates::TagHost
{
public:
    explicit FakeHost(const QByteArray &text = QByteArray()) : doc(text) {}

    QByteArray doc;
    QString docTitle = QStringLiteral("Untitled");
    QQueue<QString> answers;
    QSet<QString> files;         // paths that count as regular files
    QStringList transcript;      // "input|title|initial", "message|text", "open|path"
    QStringList prompts;         // input box prompts
    QList<platform::Icon> icons; // one per message
    mutable int reads = 0;
    int writes = 0;
    int titleWrites = 0;
    int aliveForMessages = -1; // the document goes after this many messages

    QByteArray text() const override { return ++reads, doc; }
    void setText(QByteArrayView text) override { doc = text.toByteArray(), ++writes; }
    quint64 textVersion() const override { return quint64(writes); }
    QString title() const override { return docTitle; }
    void setTitle(const QString &title) override { docTitle = title, ++titleWrites; }
    void message(const QString &text, platform::Icon icon) override
    {
        transcript << QStringLiteral("message|") + text;
        icons << icon;
    }
    QString inputBox(const QString &prompt, const QString &title, const QString &initial) override
    {
        transcript << QStringLiteral("input|") + title + QLatin1Char('|') + initial;
        prompts << prompt;
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
    bool fileExists(const QString &path) const override { return files.contains(path); }
    void openFile(const QString &path) override { transcript << QStringLiteral("open|") + path; }
    bool isAlive() const override { return aliveForMessages < 0 || icons.size() < aliveForMessages; }
};
