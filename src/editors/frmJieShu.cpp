#include "editors/frmJieShu.h"

#include <QCoreApplication>

namespace editors {

TFormJieShu::TFormJieShu(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "End"), TButtons::CancelDelete) {
    setObjectName(QStringLiteral("FormJieShu"));
    panel()->setMinimumSize(200, 40);
}

} // namespace editors
