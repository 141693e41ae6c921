// The frame the Label, Goto, Sub Begin and Call Sub editors share: one name edit.
#pragma once

#include "editors/EditorControls.h"

#include <string>

namespace editors {

// TNameForm: a label with the name edit Edit1 and, under it, the hint LabelHint that appears
// when "<" or "&" was refused.
class TNameForm : public TEditorDialog {
public:
    TNameForm(QWidget* parent, const QString& title, const QString& label);

protected:
    // The name as stored (bytes of the system code page) into the edit, and back as typed.
    void setName(const std::string& name);
    std::string name() const;

private:
    TNameEdit* m_edit1 = nullptr;
};

} // namespace editors
