#include "app/startup.h"
#include "editor/colourscheme.h"

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QStringList>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/quillpad.png")));
    // Ties the windows to the installed desktop entry (task bars, docks).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillpad"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    // For trying the program (and its tests and screenshots) on a dark
    // desktop: Fusion with a dark palette, whatever the desktop says.
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--dark-palette-for-tests")) {
        arguments.removeFirst();
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(colourscheme::darkPalette());
    }
    // Everything after the program's own name, as one text.
    const QString argumentText = arguments.join(QLatin1Char(' '));
    Startup(argumentText);
    return app.exec();
}
