#include "editors/frmPORTOUT.h"

#include <QCoreApplication>

namespace editors {

TFormPORTOUT::TFormPORTOUT(QWidget* parent)
    : TPortBitsForm(parent, QCoreApplication::translate("editors", "IO Output"),
                    TPortDialog::IoOutput,
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
