#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormTingZhiDJ: the Motor Stop block's editor (which motion to stop).
class TFormTingZhiDJ : public TEditorDialog {
public:
    using Values = TMotorStopValues;
    explicit TFormTingZhiDJ(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    TRadioGroup* m_radioGroup1 = nullptr;
};

} // namespace editors
