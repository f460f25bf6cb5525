#include "app/startup.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/quillpad.png")));
    // Ties the windows to the installed desktop entry (task bars, docks).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillpad"));
    // Everything after the program's own name, as one text.
    const QString argumentText = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    Startup(argumentText);
    return app.exec();
}
