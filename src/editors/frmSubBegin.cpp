#include "editors/frmSubBegin.h"

#include <QCoreApplication>

namespace editors {

TFormSubBegin::TFormSubBegin(QWidget* parent)
    : TNameForm(parent, QCoreApplication::translate("editors", "Subroutine Begin"),
                QCoreApplication::translate("editors", "Name of the subroutine:")) {
    setObjectName(QStringLiteral("FormSubBegin"));
}

} // namespace editors
