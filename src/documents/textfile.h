#pragma once

#include <QByteArray>

// The document text a file's bytes stand for. Lines end at CR LF or a lone CR
// (a lone LF is ordinary text); the lines are joined with CR LF, with no line
// break after the last one. Works in place when it can: most files only lose
// their final line end.
QByteArray textFromFileBytes(QByteArray bytes);
