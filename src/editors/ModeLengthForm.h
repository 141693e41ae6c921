// The frame the Direct, Turn and Wait editors share: an optional radio group, a number box and
// a slider over the same range, coupled (coupleSlider).
#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TModeLengthForm: a choice (RadioGroup1, when there are choices), a number box ValidateEdit1
// beside its label over 0..32767 with its unit after it (UnitLabel), and under them the slider
// ScrollBar1 over 0..sliderMax.
class TModeLengthForm : public TEditorDialog {
public:
    TModeLengthForm(QWidget* parent, const QString& title, const QStringList& choices,
                    const QString& lengthLabel, int sliderMax, const QString& unit);

protected:
    void setMode(std::int64_t mode);
    int mode() const;
    void setLength(std::int64_t length);
    int length() const;

private:
    TRadioGroup* m_radioGroup1 = nullptr;
    TValidateEdit* m_validateEdit1 = nullptr;
    QScrollBar* m_scrollBar1 = nullptr;
};

} // namespace editors
