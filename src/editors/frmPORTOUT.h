#pragma once

#include "editors/PortBitsForm.h"

namespace editors {

// TFormPORTOUT: the IO Output block's editor (a port and its eight bits).
class TFormPORTOUT : public TPortBitsForm {
public:
    using Values = TIoOutputValues;
    explicit TFormPORTOUT(QWidget* parent);
    void setValues(const Values& values);
    Values values() const { return {port(), bits()}; }
};

} // namespace editors
