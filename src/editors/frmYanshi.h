#pragma once

#include "editors/ModeLengthForm.h"

namespace editors {

// TFormYanShi: the Wait block's editor.
class TFormYanShi : public TModeLengthForm {
public:
    using Values = TWaitValues;
    explicit TFormYanShi(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;
};

} // namespace editors
