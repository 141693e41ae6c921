#pragma once

#include "editors/PortBitsForm.h"

namespace editors {

// TFormPORTDDR: the IO Setup block's editor (a port and its eight bits).
class TFormPORTDDR : public TPortBitsForm {
public:
    using Values = TIoSetupValues;
    explicit TFormPORTDDR(QWidget* parent);
    void setValues(const Values& values);
    Values values() const { return {port(), bits()}; }
};

} // namespace editors
