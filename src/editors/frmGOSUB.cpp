#include "editors/frmGOSUB.h"

namespace editors {

TFormGOSUB::TFormGOSUB(QWidget* parent)
    : TNameForm(parent, QStringLiteral("Call Subroutine"),
                QStringLiteral("Name of the subroutine:"), TNames::Offered) {
    setObjectName(QStringLiteral("FormGOSUB"));
}

} // namespace editors
