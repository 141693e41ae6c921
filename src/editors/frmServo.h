#pragma once

#include "editors/EditorControls.h"

#include <array>

namespace editors {

// TFormServo: the Servo block's editor: five servo positions and a speed.
class TFormServo : public TEditorDialog {
public:
    using Values = TServoValues;
    explicit TFormServo(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    // Servo slider `tag` (1..5) moved: LabelVal<tag> shows its position.
    void ScrollBarSChange(int tag);
    // The speed slider moved: LabelSpdVal shows its position.
    void ScrollBarSpeedChange();

    std::array<QScrollBar*, 5> m_scrollBars{}; // ScrollBar1..ScrollBar5, tags 1..5
    std::array<QLabel*, 5> m_labelVals{};      // LabelVal1..LabelVal5
    QScrollBar* m_scrollBarSpeed = nullptr;
    QLabel* m_labelSpdVal = nullptr;
};

} // namespace editors
