#include "editor/filedrop.h"

#include "documents/fileops.h"
#include "documents/fileprompts.h"
#include "documents/textfile.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/prompts.h"
#include "platform/textcontrol.h"

#include <QPointer>

using fileprompts::StepResult;
using fileprompts::Wording;

namespace filedrop {

bool insertFileContents(TextControl &text, const QString &path)
{
    platform::FileReader reader;
    StepResult r = fileprompts::runStep(Wording::InsertFile,
                                        [&](platform::FileError *e) { return reader.open(path, e); });
    if (r == StepResult::Aborted)
        return false;
    // Reading and inserting are one step: a failed read leaves the selection alone.
    bool inserted = false;
    r = fileprompts::runStep(Wording::InsertFile, [&](platform::FileError *e) {
        QByteArray bytes;
        if (!reader.readAll(&bytes, e))
            return false;
        // Read by the file's own encoding, written in the document's.
        text.replaceSelection(decodeFileText(bytes));
        inserted = true;
        return true;
    });
    reader.close();
    return inserted;
}

void FilesDropped(FrmDoc &window, const QStringList &paths)
{
    if (paths.size() >= 2) {
        // Opening creates windows and may ask questions; take the list as it came.
        const QStringList list = paths;
        for (const QString &p : list)
            fileops::OpenFile(p);
        return;
    }
    if (paths.size() != 1)
        return;
    const QString path = paths.constFirst();
    const QPointer<TextControl> text = window.textControl();
    const QString crlf = QStringLiteral("\r\n");
    const platform::Answer a = platform::message(
        QStringLiteral("Would you like to paste the contents of this file ") + crlf + path + crlf +
            QStringLiteral("To your document?"),
        platform::Buttons::YesNo, platform::Icon::None, QStringLiteral("Insert As Contents?"));
    if (a == platform::Answer::Yes) {
        if (text)
            insertFileContents(*text, path);
    } else {
        fileops::OpenFile(path);
    }
}

} // namespace filedrop
