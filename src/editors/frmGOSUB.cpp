#include "editors/frmGOSUB.h"

#include <QCoreApplication>

namespace editors {

TFormGOSUB::TFormGOSUB(QWidget* parent)
    : TNameForm(parent, QCoreApplication::translate("editors", "Call Subroutine"),
                QCoreApplication::translate("editors", "Name of the subroutine:"),
                TNames::Offered) {
    setObjectName(QStringLiteral("FormGOSUB"));
}

} // namespace editors
