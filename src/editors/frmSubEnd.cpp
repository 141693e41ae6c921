#include "editors/frmSubEnd.h"

namespace editors {

TFormSubEnd::TFormSubEnd(QWidget* parent)
    : TEditorDialog(parent, QStringLiteral("Subroutine End"), TButtons::CancelDelete) {
    setObjectName(QStringLiteral("FormSubEnd"));
    panel()->setMinimumSize(200, 40);
}

} // namespace editors
