#pragma once

#include "editors/NameForm.h"

namespace editors {

// TFormGOSUB: the Call Sub block's editor; its list offers the chart's subroutines.
class TFormGOSUB : public TNameForm {
public:
    using Values = TCallSubValues;
    explicit TFormGOSUB(QWidget* parent);
    void setValues(const Values& values) { setName(values.name); }
    Values values() const { return {name()}; }
};

} // namespace editors
