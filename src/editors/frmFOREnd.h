#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormFOREnd: the Loop End block's editor (the counting variable).
class TFormFOREnd : public TEditorDialog {
public:
    using Values = TLoopEndValues;
    explicit TFormFOREnd(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    QComboBox* m_comboBox1 = nullptr;
};

} // namespace editors
