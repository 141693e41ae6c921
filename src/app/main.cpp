#include "app/Unit1.h"
#include "chart/AppTitle.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Short, stable names for the user's data and settings folders; the long title is what
    // the desktop shows.
    QApplication::setOrganizationName("ZOLVANE");
    QApplication::setApplicationName("zolvane-flowchart");
    // Taskbars tie the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName("org.zolvane.FlowChart");
    TForm1 form;
    form.show();
    // A chart named on the command line (a double click in the file manager) opens at once.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        form.openAtStart(arguments.at(1).toLocal8Bit().toStdString());
    return QApplication::exec();
}
