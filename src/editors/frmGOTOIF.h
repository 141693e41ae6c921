#pragma once

#include "editors/EditorControls.h"

#include <string>
#include <vector>

namespace editors {

// TFormGOTOIF: the GotoIf block's editor (a condition and the label to go to, typed or picked
// from the chart's labels in NameList1).
class TFormGOTOIF : public TEditorDialog {
public:
    using Values = TGotoIfValues;
    explicit TFormGOTOIF(QWidget* parent);
    void setValues(const Values& values);
    Values values() const;
    // The labels the list offers (bytes of the system code page).
    void setNameChoices(const std::vector<std::string>& names);

private:
    QLineEdit* m_edit1 = nullptr; // label
    QComboBox* m_nameList1 = nullptr;
    QLineEdit* m_edit2 = nullptr; // condition
};

} // namespace editors
