#include "editors/frmDIN.h"

namespace editors {

TFormDIN::TFormDIN(QWidget* parent)
    : TVarPortForm(parent, QStringLiteral("Digital Sensor"), QStringLiteral("Var: "),
                   QStringLiteral("Sensor Port:"),
                   {QStringLiteral("PC0"), QStringLiteral("PC1"), QStringLiteral("PC2"),
                    QStringLiteral("PC3"), QStringLiteral("PC4"), QStringLiteral("MIC"),
                    QStringLiteral("PCX")}) {
    setObjectName(QStringLiteral("FormDIN"));
}

} // namespace editors
