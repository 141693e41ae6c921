#pragma once

#include "editors/ModeLengthForm.h"

namespace editors {

// TFormZhiXing: the Direct block's editor.
class TFormZhiXing : public TModeLengthForm {
public:
    using Values = TDirectValues;
    explicit TFormZhiXing(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;
};

} // namespace editors
