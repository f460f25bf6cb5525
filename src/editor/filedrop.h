#pragma once

#include <QString>
#include <QStringList>

class FrmDoc;
class TextControl;

// Files dropped onto a document window's text.
namespace filedrop {

// Several files open in windows of their own, in order; for one file the user
// chooses between inserting its contents here and opening it.
void FilesDropped(FrmDoc &window, const QStringList &paths);

// Replaces the selection (or inserts at the caret) with the file's bytes as
// they are. A step that fails asks the read question; the selection is
// touched only once the whole file has been read. Returns true when inserted.
bool insertFileContents(TextControl &text, const QString &path);

} // namespace filedrop
