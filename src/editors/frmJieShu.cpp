#include "editors/frmJieShu.h"

namespace editors {

TFormJieShu::TFormJieShu(QWidget* parent)
    : TEditorDialog(parent, QStringLiteral("End"), TButtons::CancelDelete) {
    setObjectName(QStringLiteral("FormJieShu"));
    panel()->setMinimumSize(200, 40);
}

} // namespace editors
