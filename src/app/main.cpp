#include "app/Unit1.h"
#include "chart/AppTitle.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    TForm1 form;
    form.show();
    return QApplication::exec();
}
