#include "editors/frmPORTIN.h"

namespace editors {

TFormPORTIN::TFormPORTIN(QWidget* parent)
    : TVarPortForm(parent, QStringLiteral("IO Input"), QStringLiteral("Var:"),
                   QStringLiteral("IO Port:"),
                   {QStringLiteral("PINA"), QStringLiteral("PINB"), QStringLiteral("PINC"),
                    QStringLiteral("PIND")}) {
    setObjectName(QStringLiteral("FormPORTIN"));
}

} // namespace editors
