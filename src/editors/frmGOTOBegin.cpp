#include "editors/frmGOTOBegin.h"

namespace editors {

TFormGOTOBegin::TFormGOTOBegin(QWidget* parent)
    : TNameForm(parent, QStringLiteral("Label for GOTO:"), QStringLiteral("Label:")) {
    setObjectName(QStringLiteral("FormGOTOBegin"));
}

} // namespace editors
