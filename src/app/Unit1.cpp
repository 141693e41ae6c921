#include "app/Unit1.h"

#include "app/AppTitle.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    resize(610, 436);
}
