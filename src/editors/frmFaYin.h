#pragma once

#include "editors/EditorControls.h"
#include "editors/values/MusicComposer.h"

#include <array>
#include <optional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QPushButton;

namespace platform {
class TTonePlayer;
}
class QListWidget;
class QToolButton;

namespace editors {

// TFormFaYin: the Music block's editor, a composer of note codes in numbered notation.
class TFormFaYin : public TEditorDialog {
public:
    using Values = TMusicValues;
    explicit TFormFaYin(QWidget* parent);
    // Check box, note list from the content, key (0 when the record's is missing or outside
    // 0..7), then the tone buttons refreshed. The duration list keeps its choice.
    void setValues(const Values& values);
    Values values() const;

    // Enables the 15 tone buttons from the key up and selects Rest.
    void RefreshToneButtons();
    // The note list with its selection, as the pure editing commands see it.
    TNoteList noteList() const;
    // The note code of the current key, tone and duration ("" when none can be made).
    std::string currentNoteCode() const;
    // The tones of the notes under the current key, as the robot plays them (the codes that
    // are no note left out).
    std::vector<TNoteSound> tuneSounds() const;
    // Where the composer can play, Play plays the tune and a tone button its note.
    bool canPlay() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showNoteList(const TNoteList& list);

    // The user chose another key: the tone buttons follow; the notes keep their codes.
    void ComboBox1Change();
    // Add: the current note goes to the end of the list.
    void Button4Click();
    // Replace: the selected note becomes the current note.
    void Button5Click();
    // Delete: the selected note goes.
    void Button6Click();
    // Up arrow: the selected note moves up one place.
    void SpeedButton1Click();
    // Down arrow: the selected note moves down one place.
    void SpeedButton2Click();
    // Play: the whole tune; Stop while it plays.
    void PlayClick();
    // A tone button chosen by the user: its note, at the chosen duration.
    void playChosenNote();
    void playSounds(const std::vector<TNoteSound>& sounds);

    QComboBox* m_comboBox1 = nullptr; // key
    QCheckBox* m_checkBox1 = nullptr; // KEY statement
    QComboBox* m_comboBox2 = nullptr; // duration
    QButtonGroup* m_tones = nullptr;  // RadioButton1..RadioButton23, id = button number
    std::array<QRadioButton*, ToneButtonCount + 1> m_toneButtons{}; // 1-based
    QListWidget* m_noteListBox1 = nullptr;
    QPushButton* m_playButton = nullptr;
    platform::TTonePlayer* m_player = nullptr;
    TMusicTuning m_tuning;
    mutable std::optional<bool> m_canPlay;
};

} // namespace editors
