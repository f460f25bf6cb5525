#include "app/startup.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Everything after the program's own name, as one text.
    const QString argumentText = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    Startup(argumentText);
    return app.exec();
}
