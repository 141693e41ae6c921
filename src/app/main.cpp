#include "app/Unit1.h"
#include "chart/AppTitle.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Short, stable names for the user's data and settings folders; the long title is what
    // the desktop shows.
    QApplication::setOrganizationName("ZOLVANE");
    QApplication::setApplicationName("zolvane-flowchart");
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    TForm1 form;
    form.show();
    return QApplication::exec();
}
