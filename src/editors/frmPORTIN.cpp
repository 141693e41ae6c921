#include "editors/frmPORTIN.h"

#include <QCoreApplication>

namespace editors {

TFormPORTIN::TFormPORTIN(QWidget* parent)
    : TVarPortForm(parent, QCoreApplication::translate("editors", "IO Input"),
                   QCoreApplication::translate("editors", "Var:"),
                   QCoreApplication::translate("editors", "IO Port:"),
                   {QStringLiteral("PINA"), QStringLiteral("PINB"), QStringLiteral("PINC"),
                    QStringLiteral("PIND")}) {
    setObjectName(QStringLiteral("FormPORTIN"));
}

} // namespace editors
