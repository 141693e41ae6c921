// The frame the Label, Goto, Sub Begin and Call Sub editors share: one name edit.
#pragma once

#include "editors/EditorControls.h"

#include <string>
#include <vector>

namespace editors {

// TNameForm: a label with the name edit Edit1 and, under it, the hint LabelHint that appears
// when "<" or "&" was refused. A form that goes to a name (Goto, Call Sub) holds Edit1 in the
// editable list NameList1, which offers the names the chart defines.
class TNameForm : public TEditorDialog {
public:
    enum class TNames { Typed, Offered };

    TNameForm(QWidget* parent, const QString& title, const QString& label,
              TNames names = TNames::Typed);

    // The names the list offers (bytes of the system code page); nothing for a form without one.
    void setNameChoices(const std::vector<std::string>& names);

protected:
    // The name as stored (bytes of the system code page) into the edit, and back as typed.
    void setName(const std::string& name);
    std::string name() const;

private:
    TNameEdit* m_edit1 = nullptr;
    QComboBox* m_nameList1 = nullptr;
};

} // namespace editors
