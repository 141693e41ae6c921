#pragma once

#include "editors/NameForm.h"

namespace editors {

// TFormGOTOEnd: the Goto block's editor; its list offers the chart's labels.
class TFormGOTOEnd : public TNameForm {
public:
    using Values = TGotoValues;
    explicit TFormGOTOEnd(QWidget* parent);
    void setValues(const Values& values) { setName(values.name); }
    Values values() const { return {name()}; }
};

} // namespace editors
