#pragma once

#include "editors/NameForm.h"

namespace editors {

// TFormSubBegin: the Sub Begin block's editor.
class TFormSubBegin : public TNameForm {
public:
    using Values = TSubBeginValues;
    explicit TFormSubBegin(QWidget* parent);
    void setValues(const Values& values) { setName(values.name); }
    Values values() const { return {name()}; }
};

} // namespace editors
