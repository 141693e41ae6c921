#pragma once

#include "editors/VarPortForm.h"

namespace editors {

// TFormDIN: the Digital Sensor block's editor.
class TFormDIN : public TVarPortForm {
public:
    using Values = TDigitalSensorValues;
    explicit TFormDIN(QWidget* parent);
    void setValues(const Values& values) { setVarPort(values.var, values.index); }
    Values values() const { return {var(), port()}; }
};

} // namespace editors
