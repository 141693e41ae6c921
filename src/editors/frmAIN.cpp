#include "editors/frmAIN.h"

#include <QCoreApplication>

namespace editors {

TFormAIN::TFormAIN(QWidget* parent)
    : TVarPortForm(parent, QCoreApplication::translate("editors", "Analog Sensor"),
                   QCoreApplication::translate("editors", "Var: "),
                   QCoreApplication::translate("editors", "Sensor Port:"),
                   {QStringLiteral("ADC0"), QStringLiteral("ADC1"), QStringLiteral("ADC2"),
                    QStringLiteral("ADC3"), QStringLiteral("ADC4"), QStringLiteral("ADC5"),
                    QStringLiteral("ADC6"), QStringLiteral("ADC7")}) {
    setObjectName(QStringLiteral("FormAIN"));
}

} // namespace editors
