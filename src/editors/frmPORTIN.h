#pragma once

#include "editors/VarPortForm.h"

namespace editors {

// TFormPORTIN: the IO Input block's editor.
class TFormPORTIN : public TVarPortForm {
public:
    using Values = TIoInputValues;
    explicit TFormPORTIN(QWidget* parent);
    void setValues(const Values& values) { setVarPort(values.var, values.port); }
    Values values() const { return {var(), port()}; }
};

} // namespace editors
