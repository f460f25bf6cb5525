#pragma once

#include "documents/textfile.h"
#include "platform/textcodec.h"

#include <QByteArray>

#include <functional>

// A file's bytes, piece by piece, into the document text: the text that
// textFromFileBytes gives for the whole file in its format, without the file
// ever being held whole. Pieces may be split anywhere (between CR and LF,
// inside a character, inside the mark). The format is known once the last
// piece is in.
//
// The line rules can run before the format is known: a file without any CR
// reads the same either way, and only such a file is an LF file. A UTF-8 mark
// is held back from the start; should the rest not be UTF-8, those three bytes
// belong before the text after all (markIsText).
class TextStream
{
public:
    // Takes each run of text in order; false stops the stream (out of memory).
    using Sink = std::function<bool(QByteArrayView text)>;
    explicit TextStream(Sink sink) : m_sink(std::move(sink)) {}

    bool feed(QByteArrayView piece);
    bool finish();

    const FileFacts &facts() const { return m_facts; }
    // The facts as far as the pieces so far tell (a character cut at the end
    // of the last piece counts as whole): a guess at the format, before the end.
    FileFacts factsSoFar() const;
    bool markIsText(const TextFormat &format) const { return m_facts.marked && !format.hasBom(); }
    qsizetype loneCrs() const { return m_loneCrs; }

private:
    bool start(QByteArrayView head);
    bool take(QByteArrayView bytes);
    bool classic(QByteArrayView bytes);
    bool pass(QByteArrayView text) { return text.isEmpty() || m_sink(text); }

    Sink m_sink;
    FileFacts m_facts;
    textcodec::Utf8Check m_utf8;
    QByteArray m_head; // the first bytes, until the marks can be told
    bool m_started = false;
    bool m_verbatim = false; // a UTF-16 or UTF-32 file: its bytes as they are
    int m_held = 0;          // a final line end held back: 1 CR, 2 CR LF
    qsizetype m_loneCrs = 0;
};
