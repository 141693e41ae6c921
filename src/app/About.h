#pragma once

#include <QDialog>

// TFormAbout: the about box with the product name, the version and OK.
class TFormAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(QWidget* parent = nullptr);
};
