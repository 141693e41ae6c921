#include "editors/frmGOTOEnd.h"

#include <QCoreApplication>

namespace editors {

TFormGOTOEnd::TFormGOTOEnd(QWidget* parent)
    : TNameForm(parent, QCoreApplication::translate("editors", "GOTO"),
                QCoreApplication::translate("editors", "GOTO Label:"), TNames::Offered) {
    setObjectName(QStringLiteral("FormGOTOEnd"));
}

} // namespace editors
