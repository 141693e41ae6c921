#pragma once

#include <QMainWindow>

// TForm1: the main window of the editor.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
};
