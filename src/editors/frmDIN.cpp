#include "editors/frmDIN.h"

#include <QCoreApplication>

namespace editors {

TFormDIN::TFormDIN(QWidget* parent)
    : TVarPortForm(parent, QCoreApplication::translate("editors", "Digital Sensor"),
                   QCoreApplication::translate("editors", "Var: "),
                   QCoreApplication::translate("editors", "Sensor Port:"),
                   {QStringLiteral("PC0"), QStringLiteral("PC1"), QStringLiteral("PC2"),
                    QStringLiteral("PC3"), QStringLiteral("PC4"), QStringLiteral("MIC"),
                    QStringLiteral("PCX")}) {
    setObjectName(QStringLiteral("FormDIN"));
}

} // namespace editors
