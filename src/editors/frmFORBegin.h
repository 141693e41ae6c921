#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormFORBegin: the Loop Begin block's editor (number of times and the counting variable).
class TFormFORBegin : public TEditorDialog {
public:
    using Values = TLoopBeginValues;
    explicit TFormFORBegin(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    TValidateEdit* m_validateEdit1 = nullptr;
    QComboBox* m_comboBox1 = nullptr;
};

} // namespace editors
