#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormQiDongDJ: the Motor On block's editor (left and right motor speed).
class TFormQiDongDJ : public TEditorDialog {
public:
    using Values = TMotorOnValues;
    explicit TFormQiDongDJ(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    // The left speed slider moved: its number box follows.
    void ScrollBar1Change(int position);
    // The left number box settled on a new value: its slider follows.
    void ValidateEdit1ValueChanged(int value);
    // The right speed slider moved: its number box follows.
    void ScrollBar2Change(int position);
    // The right number box settled on a new value: its slider follows.
    void ValidateEdit2ValueChanged(int value);

    TValidateEdit* m_validateEdit1 = nullptr;
    TValidateEdit* m_validateEdit2 = nullptr;
    QScrollBar* m_scrollBar1 = nullptr;
    QScrollBar* m_scrollBar2 = nullptr;
};

} // namespace editors
