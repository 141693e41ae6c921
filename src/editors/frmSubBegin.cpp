#include "editors/frmSubBegin.h"

namespace editors {

TFormSubBegin::TFormSubBegin(QWidget* parent)
    : TNameForm(parent, QStringLiteral("Subroutine Begin"),
                QStringLiteral("Name of the subroutine:")) {
    setObjectName(QStringLiteral("FormSubBegin"));
}

} // namespace editors
