#pragma once

#include "editors/EditorControls.h"

#include <array>

namespace editors {

// TFormLED: the LED block's editor: three lamps, lit for a 0 bit.
class TFormLED : public TEditorDialog {
public:
    using Values = TLedValues;
    explicit TFormLED(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

    // The lamp of PBn (n = 0, 1, 2).
    TLamp* lamp(int n) const { return m_leds[n]; }

private:
    // The PB0 lamp or its label was clicked: it toggles.
    void LED1Click();
    // The PB1 lamp or its label was clicked: it toggles.
    void LED2Click();
    // The PB2 lamp or its label was clicked: it toggles.
    void LED3Click();

    std::array<TLamp*, 3> m_leds{}; // LED1 (PB0), LED2 (PB1), LED3 (PB2)
};

} // namespace editors
