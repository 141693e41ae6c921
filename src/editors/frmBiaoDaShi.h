#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormBiaoDaShi: the Expression block's editor (a free statement).
class TFormBiaoDaShi : public TEditorDialog {
public:
    using Values = TExpressionValues;
    explicit TFormBiaoDaShi(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    QLineEdit* m_edit1 = nullptr;
};

} // namespace editors
