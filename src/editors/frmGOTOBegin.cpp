#include "editors/frmGOTOBegin.h"

#include <QCoreApplication>

namespace editors {

TFormGOTOBegin::TFormGOTOBegin(QWidget* parent)
    : TNameForm(parent, QCoreApplication::translate("editors", "Label for GOTO:"),
                QCoreApplication::translate("editors", "Label:")) {
    setObjectName(QStringLiteral("FormGOTOBegin"));
}

} // namespace editors
