#pragma once

#include "editors/ModeLengthForm.h"

namespace editors {

// TFormZhuanXiang: the Turn block's editor.
class TFormZhuanXiang : public TModeLengthForm {
public:
    using Values = TTurnValues;
    explicit TFormZhuanXiang(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;
};

} // namespace editors
