#pragma once

#include "editors/EditorControls.h"

#include <string>
#include <vector>

namespace editors {

// TFormVOICEX: the VoiceX block's editor: a phrase chosen by name from the phrase list.
class TFormVOICEX : public TEditorDialog {
public:
    using Values = TVoiceXValues;
    explicit TFormVOICEX(QWidget* parent);

    // Fills the phrase list (entry i names phrase i; bytes of the phrase list file) and chooses
    // entry 0. An empty list leaves nothing to choose: every edit then writes -1.
    void setPhrases(std::vector<std::string> phrases);
    int phraseCount() const { return static_cast<int>(m_phrases.size()); }

    void setValues(const Values& values);
    Values values() const;
    // The chosen entry's bytes, as in the file; empty when none is chosen.
    std::string chosenText() const;

private:
    std::vector<std::string> m_phrases;
    QComboBox* m_comboBox1 = nullptr;
};

} // namespace editors
