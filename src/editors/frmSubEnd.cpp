#include "editors/frmSubEnd.h"

#include <QCoreApplication>

namespace editors {

TFormSubEnd::TFormSubEnd(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Subroutine End"),
                    TButtons::CancelDelete) {
    setObjectName(QStringLiteral("FormSubEnd"));
    panel()->setMinimumSize(200, 40);
}

} // namespace editors
