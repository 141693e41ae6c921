#include "editors/frmPORTDDR.h"

#include <QCoreApplication>

namespace editors {

TFormPORTDDR::TFormPORTDDR(QWidget* parent)
    : TPortBitsForm(parent, QCoreApplication::translate("editors", "IO Setup"),
                    TPortDialog::IoSetup,
                    {QStringLiteral("DDRA"), QStringLiteral("DDRB"), QStringLiteral("DDRC"),
                     QStringLiteral("DDRD")},
                    80) {
    setObjectName(QStringLiteral("FormPORTDDR"));
}

void TFormPORTDDR::setValues(const Values& values) {
    setPort(values.port);
    setBits(values.data);
}

} // namespace editors
