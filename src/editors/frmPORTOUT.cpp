#include "editors/frmPORTOUT.h"

namespace editors {

TFormPORTOUT::TFormPORTOUT(QWidget* parent)
    : TPortBitsForm(parent, QStringLiteral("IO Output"), TPortDialog::IoOutput,
                    {QStringLiteral("PORTA"), QStringLiteral("PORTB"), QStringLiteral("PORTC"),
                     QStringLiteral("PORTD")},
                    100) {
    setObjectName(QStringLiteral("FormPORTOUT"));
}

void TFormPORTOUT::setValues(const Values& values) {
    setPort(values.port);
    setBits(values.data);
}

} // namespace editors
