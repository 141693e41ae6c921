#pragma once

#include "editors/VarPortForm.h"

namespace editors {

// TFormAIN: the Analog Sensor block's editor.
class TFormAIN : public TVarPortForm {
public:
    using Values = TAnalogSensorValues;
    explicit TFormAIN(QWidget* parent);
    void setValues(const Values& values) { setVarPort(values.var, values.index); }
    Values values() const { return {var(), port()}; }
};

} // namespace editors
