#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormQiDongDJ: the Motor On block's editor (left and right motor speed), each speed a number
// box coupled to its slider (coupleSlider).
class TFormQiDongDJ : public TEditorDialog {
public:
    using Values = TMotorOnValues;
    explicit TFormQiDongDJ(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    TValidateEdit* m_validateEdit1 = nullptr;
    TValidateEdit* m_validateEdit2 = nullptr;
    QScrollBar* m_scrollBar1 = nullptr;
    QScrollBar* m_scrollBar2 = nullptr;
};

} // namespace editors
