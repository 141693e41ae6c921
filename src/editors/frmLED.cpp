#include "editors/frmLED.h"

#include "editors/values/ControlRules.h"

#include <QCoreApplication>
#include <QGridLayout>

namespace editors {

TFormLED::TFormLED(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "LED")) {
    setObjectName(QStringLiteral("FormLED"));
    auto* grid = new QGridLayout(panel());
    grid->setHorizontalSpacing(24);
    // Left to right the robot's board shows PB1, PB0, PB2.
    constexpr std::array<int, 3> bitOfColumn{1, 0, 2};
    for (int column = 0; column < 3; ++column) {
        const int n = bitOfColumn[column];
        auto* label = new TClickLabel(QStringLiteral("PB%1").arg(n), panel());
        label->setObjectName(QStringLiteral("LabelPB%1").arg(n));
        label->setAlignment(Qt::AlignCenter);
        auto* led = new TLamp(panel());
        led->setObjectName(QStringLiteral("LED%1").arg(n + 1));
        m_leds[n] = led;
        nameControl(
            led, QCoreApplication::translate("editors", "LED PB%1").arg(n),
            QCoreApplication::translate("editors", "Click to switch LED PB%1 on or off").arg(n));
        grid->addWidget(label, 0, column, Qt::AlignCenter);
        grid->addWidget(led, 1, column, Qt::AlignCenter);
        void (TFormLED::*click)() =
            n == 0 ? &TFormLED::LED1Click : (n == 1 ? &TFormLED::LED2Click : &TFormLED::LED3Click);
        connect(led, &TLamp::clicked, this, click);
        connect(label, &TClickLabel::clicked, this, click);
    }
}

void TFormLED::LED1Click() {
    m_leds[0]->setLit(!m_leds[0]->isLit());
}

void TFormLED::LED2Click() {
    m_leds[1]->setLit(!m_leds[1]->isLit());
}

void TFormLED::LED3Click() {
    m_leds[2]->setLit(!m_leds[2]->isLit());
}

void TFormLED::setValues(const Values& values) {
    const std::array<bool, 3> lit = lampsFromValue(values.led);
    for (int n = 0; n < 3; ++n)
        m_leds[n]->setLit(lit[n]);
}

TFormLED::Values TFormLED::values() const {
    return {valueFromLamps({m_leds[0]->isLit(), m_leds[1]->isLit(), m_leds[2]->isLit()})};
}

} // namespace editors
