#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormGOTOIF: the GotoIf block's editor (a condition and the label to go to).
class TFormGOTOIF : public TEditorDialog {
public:
    using Values = TGotoIfValues;
    explicit TFormGOTOIF(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;

private:
    QLineEdit* m_edit1 = nullptr; // label
    QLineEdit* m_edit2 = nullptr; // condition
};

} // namespace editors
