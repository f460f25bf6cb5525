#pragma once

#include "platform/prompts.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// The markup-tag pass: carries out the tags written in a document's text
// ("<QPLTITLE>", "<QPLPROMPT>", "<QPLMESSAGE>", "<QPLLINK>", "<QPLIMAGE>",
// each closed by "</" name ">") when the user runs Tools > Execute.
//
// The pass itself knows nothing of windows: it works on the document's bytes
// through a TagHost, so it can run over a real document window or over a
// plain buffer in tests and benchmarks.
namespace templates {

// The tag names in the order the pass walks them; the order decides which
// effects see which others (titles before prompts, prompts before messages).
inline constexpr std::array<const char *, 5> TagTable = {"QPLTITLE", "QPLPROMPT", "QPLMESSAGE", "QPLLINK",
                                                         "QPLIMAGE"};

// Longer contents are cut to this many characters (and "...") in the boxes.
inline constexpr qsizetype BoxTextLimit = 4000;

// What the pass needs of the document it runs over.
class TagHost
{
public:
    virtual ~TagHost() = default;

    // The whole text (the document's bytes) and its replacement.
    virtual QByteArray text() const = 0;
    virtual void setText(QByteArrayView text) = 0;
    // Changes whenever the text changes, so the pass reads the text again only
    // when something did change it.
    virtual quint64 textVersion() const = 0;

    // The document record's Title, which the window shows as its caption.
    virtual QString title() const = 0;
    virtual void setTitle(const QString &title) = 0;

    // A message box with one OK button and the application title as caption.
    virtual void message(const QString &text, platform::Icon icon = platform::Icon::None) = 0;
    // "" on Cancel.
    virtual QString inputBox(const QString &prompt, const QString &title, const QString &initial) = 0;

    // True only for a regular file (or a link to one).
    virtual bool fileExists(const QString &path) const = 0;
    virtual void openFile(const QString &path) = 0;

    // False once the document went away; the pass then stops.
    virtual bool isAlive() const { return true; }

    // The document's characters from its bytes, and an answer into its bytes
    // (in its line end; characters it cannot hold become "?", counted in
    // *replaced). One byte per Latin-1 character unless the host says otherwise.
    virtual QString decode(QByteArrayView bytes) const;
    virtual QByteArray encode(const QString &text, int *replaced) const;
};

// Runs every tag of the table over the whole text, once.
void RunTagPass(TagHost &host);

// Carries out one element: openingTag is "<" name ">", content what stood
// between it and its closing tag.
void HandleTag(TagHost &host, QByteArrayView openingTag, QByteArrayView content);

// The characters between the first "<" and the first ">" after it; "" without
// a "<", everything after the "<" without a ">".
QByteArray TagName(QByteArrayView openingTag);

// Asks for the value of a field and puts the answer in place of every element
// of that field; an empty answer changes nothing.
void PromptForField(TagHost &host, QByteArrayView field);

// Every non-overlapping occurrence of `from`, left to right, replaced by `to`.
// Returns how many were replaced.
qsizetype replaceAll(QByteArray &text, QByteArrayView from, QByteArrayView to);

// The test the pass uses for a linked file: a regular file, links followed.
bool isRegularFile(const QString &path);

} // namespace templates
