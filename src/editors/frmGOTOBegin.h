#pragma once

#include "editors/NameForm.h"

namespace editors {

// TFormGOTOBegin: the Label block's editor.
class TFormGOTOBegin : public TNameForm {
public:
    using Values = TLabelValues;
    explicit TFormGOTOBegin(QWidget* parent);
    void setValues(const Values& values) { setName(values.name); }
    Values values() const { return {name()}; }
};

} // namespace editors
