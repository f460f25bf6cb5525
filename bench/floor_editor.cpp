// The floor of the whole-program figures: the least an editor built on
// Scintilla does with a file given on its command line. Reads the file,
// hands its bytes to a bare Scintilla widget in one call (one byte per
// character, no undo collection, as the text control sets up its engine)
// with the caret at the start, and shows it in a window the size of the
// editor's frame.

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QsciScintillaBase editor;
    editor.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0L);
    editor.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
    if (argc > 1) {
        QFile f(QString::fromLocal8Bit(argv[1]));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = f.readAll();
        editor.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<uintptr_t>(bytes.size()),
                             bytes.constData());
    }
    editor.resize(1100, 760);
    editor.show();
    return app.exec();
}
