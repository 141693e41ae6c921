#include "editors/frmGOTOEnd.h"

namespace editors {

TFormGOTOEnd::TFormGOTOEnd(QWidget* parent)
    : TNameForm(parent, QStringLiteral("GOTO"), QStringLiteral("GOTO Label:"), TNames::Offered) {
    setObjectName(QStringLiteral("FormGOTOEnd"));
}

} // namespace editors
