#include "app/About.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("FormAbout");
    setWindowTitle(tr("About"));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(":/icon.svg").pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);

    auto* product = new QLabel("ZOLVANE FlowChart Software", this);
    product->setObjectName("Label1");
    QFont big = product->font();
    big.setPixelSize(18);
    big.setBold(true);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);

    //: The version number after the word.
    auto* version = new QLabel(tr("Ver:%1").arg(QStringLiteral("2.0")), this);
    version->setObjectName("Label2");
    version->setAlignment(Qt::AlignCenter);

    auto* blurb =
        new QLabel(tr("Build a robot program from blocks,\nthen send it to the robot."), this);
    blurb->setAlignment(Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKButton");
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addWidget(blurb);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
