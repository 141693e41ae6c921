#include "editors/frmFaYin.h"

#include "platform/sound/TonePlayer.h"
#include "platform/text/CodePage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace editors {

namespace {

// TToneMark: the digit drawn beside a tone button, with its octave dots.
class TToneMark : public QWidget {
public:
    TToneMark(QWidget* parent, TToneFace face) : QWidget(parent), m_face(face) {
        setFixedSize(14, 30);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setBrush(palette().color(QPalette::WindowText));
        painter.drawText(QRect(0, 7, width(), 16), Qt::AlignCenter, QString(QChar(m_face.digit)));
        const qreal x = width() / 2.0;
        auto dot = [&painter, x](qreal y) { painter.drawEllipse(QPointF(x, y), 1.5, 1.5); };
        switch (m_face.mark) {
        case TOctaveMark::DotBelow:
            dot(26);
            break;
        case TOctaveMark::DotAbove:
            dot(4);
            break;
        case TOctaveMark::ColonAbove:
            dot(1.5);
            dot(5.5);
            break;
        case TOctaveMark::None:
        case TOctaveMark::Rest:
            break;
        }
    }

private:
    TToneFace m_face;
};

// What a note entry shows: its code and, for a code that is a note, the note in words under
// the key in the interface's language ("84  do, 1 beat").
QString noteText(int key, const std::string& note) {
    QString text = platform::toQString(note);
    if (const std::optional<TNoteWords> words = noteWords(key, note))
        text += QStringLiteral("  ") +
                QCoreApplication::translate("editors", "%1, %2", "a note: its tone, its length")
                    .arg(QCoreApplication::translate("editors", words->tone.data()),
                         QCoreApplication::translate("editors", words->beats.data()));
    return text;
}

// A note entry keeps its bytes beside the text it shows, so a hand-edited content with odd
// bytes comes back unchanged even where they are not text of the code page.
void addNoteItem(QListWidget* list, const std::string& note, int key) {
    auto* item = new QListWidgetItem(noteText(key, note), list);
    item->setData(Qt::UserRole, QByteArray(note.data(), static_cast<qsizetype>(note.size())));
}

// What a screen reader calls a tone button: its digit and octave ("Tone 1 low").
QString toneName(TToneFace face) {
    const QString digit(QChar::fromLatin1(face.digit));
    switch (face.mark) {
    case TOctaveMark::DotBelow:
        return QCoreApplication::translate("editors", "Tone %1 low").arg(digit);
    case TOctaveMark::None:
        return QCoreApplication::translate("editors", "Tone %1 middle").arg(digit);
    case TOctaveMark::DotAbove:
        return QCoreApplication::translate("editors", "Tone %1 high").arg(digit);
    case TOctaveMark::ColonAbove:
        return QCoreApplication::translate("editors", "Tone %1 very high").arg(digit);
    case TOctaveMark::Rest:
        break;
    }
    return QCoreApplication::translate("editors", "Rest");
}

std::string noteBytes(const QListWidgetItem* item) {
    const QByteArray bytes = item->data(Qt::UserRole).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

TFormFaYin::TFormFaYin(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Music")) {
    setObjectName(QStringLiteral("FormFaYin"));
    auto* columns = new QHBoxLayout(panel());

    // Left column: key, KEY statement, duration, tone buttons.
    auto* left = new QVBoxLayout;
    QStringList keys;
    for (int k = 0; k < MusicKeyCount; ++k)
        keys << QString::number(k);
    m_comboBox1 = makeList(panel(), QStringLiteral("ComboBox1"), keys);
    auto* keyRow = new QHBoxLayout;
    m_comboBox1->setToolTip(
        QCoreApplication::translate("editors", "The key the tones are played in"));
    keyRow->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "Key:"), m_comboBox1));
    keyRow->addWidget(m_comboBox1);
    keyRow->addStretch();
    left->addLayout(keyRow);
    m_checkBox1 =
        new QCheckBox(QCoreApplication::translate("editors", "Add KEY statement"), panel());
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    nameControl(
        m_checkBox1, m_checkBox1->text(),
        QCoreApplication::translate("editors", "Also set the robot to this key before the notes"));
    left->addWidget(m_checkBox1);
    QStringList durations;
    for (std::string_view name : durationNames())
        durations << QCoreApplication::translate("editors", name.data());
    m_comboBox2 = makeList(panel(), QStringLiteral("ComboBox2"), durations);
    m_comboBox2->setCurrentIndex(0);
    auto* durationRow = new QHBoxLayout;
    m_comboBox2->setToolTip(QCoreApplication::translate("editors", "How long the next note lasts"));
    durationRow->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "Duration:"), m_comboBox2));
    durationRow->addWidget(m_comboBox2);
    durationRow->addStretch();
    left->addLayout(durationRow);

    auto* toneGroup = new QGroupBox(QCoreApplication::translate("editors", "Tone"), panel());
    toneGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto* toneGrid = new QGridLayout(toneGroup);
    toneGrid->setHorizontalSpacing(2);
    m_tones = new QButtonGroup(this);
    for (int n = 1; n <= ToneButtonCount; ++n) {
        const TToneFace face = toneFace(n);
        auto* button = new QRadioButton(toneGroup);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(n));
        button->setAccessibleName(toneName(face));
        m_toneButtons[n] = button;
        m_tones->addButton(button, n);
        auto* cell = new QHBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(button);
        if (n == RestButton)
            button->setText(QCoreApplication::translate("editors", "Rest"));
        else
            cell->addWidget(new TToneMark(toneGroup, face));
        // Rows top to bottom: the "1" with the colon and Rest, high, middle, low.
        int row = 0;
        int column = 0;
        if (n == 22) {
            column = 0;
        } else if (n == RestButton) {
            column = 3;
        } else {
            row = 3 - (n - 1) / 7;
            column = (n - 1) % 7;
        }
        toneGrid->addLayout(cell, row, column, 1, n == RestButton ? 2 : 1);
    }
    left->addWidget(toneGroup);
    columns->addLayout(left);

    // Middle: Add, Replace, Delete (not reached by Tab).
    auto* middle = new QVBoxLayout;
    auto addButton = [this, middle](const QString& name, const QString& caption,
                                    const QString& tip) {
        auto* button = new QPushButton(caption, panel());
        button->setObjectName(name);
        nameControl(button, caption, tip);
        button->setFixedSize(75, 25);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::ClickFocus);
        middle->addWidget(button);
        return button;
    };
    QPushButton* add =
        addButton(QStringLiteral("Button4"), QCoreApplication::translate("editors", "Add"),
                  QCoreApplication::translate("editors", "Add the chosen note to the notes"));
    QPushButton* replace = addButton(
        QStringLiteral("Button5"), QCoreApplication::translate("editors", "Replace"),
        QCoreApplication::translate("editors", "Put the chosen note in place of the selected one"));
    QPushButton* remove =
        addButton(QStringLiteral("Button6"), QCoreApplication::translate("editors", "Delete"),
                  QCoreApplication::translate("editors", "Take the selected note out"));
    middle->addSpacing(12);
    m_player = new platform::TTonePlayer(this);
    m_playButton = addButton(
        QStringLiteral("PlayButton"), QCoreApplication::translate("editors", "Play"),
        QCoreApplication::translate("editors", "Listen to the tune as the robot plays it"));
    middle->addStretch();
    columns->addLayout(middle);

    // Right: the note list with the two arrows beside it.
    m_noteListBox1 = new QListWidget(panel());
    m_noteListBox1->setObjectName(QStringLiteral("NoteListBox1"));
    m_noteListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_noteListBox1->setFixedWidth(190); // the code and the note in words
    nameControl(m_noteListBox1, QCoreApplication::translate("editors", "Notes"),
                QCoreApplication::translate("editors", "The notes the robot plays, top to bottom"));
    keepEnter(m_noteListBox1); // Enter while picking notes must not close the composer
    columns->addWidget(m_noteListBox1);
    auto* arrows = new QVBoxLayout;
    auto* up = new QToolButton(panel());
    up->setObjectName(QStringLiteral("SpeedButton1"));
    up->setArrowType(Qt::UpArrow);
    nameControl(up, QCoreApplication::translate("editors", "Move up"),
                QCoreApplication::translate("editors", "Move the selected note up"));
    auto* down = new QToolButton(panel());
    down->setObjectName(QStringLiteral("SpeedButton2"));
    down->setArrowType(Qt::DownArrow);
    nameControl(down, QCoreApplication::translate("editors", "Move down"),
                QCoreApplication::translate("editors", "Move the selected note down"));
    arrows->addWidget(up);
    arrows->addWidget(down);
    arrows->addStretch();
    columns->addLayout(arrows);

    connect(m_comboBox1, &QComboBox::currentIndexChanged, this, &TFormFaYin::ComboBox1Change);
    connect(add, &QPushButton::clicked, this, &TFormFaYin::Button4Click);
    connect(replace, &QPushButton::clicked, this, &TFormFaYin::Button5Click);
    connect(remove, &QPushButton::clicked, this, &TFormFaYin::Button6Click);
    connect(up, &QToolButton::clicked, this, &TFormFaYin::SpeedButton1Click);
    connect(down, &QToolButton::clicked, this, &TFormFaYin::SpeedButton2Click);
    connect(m_playButton, &QPushButton::clicked, this, &TFormFaYin::PlayClick);
    connect(m_player, &platform::TTonePlayer::finished, this,
            [this] { m_playButton->setText(QCoreApplication::translate("editors", "Play")); });
    // A tone chosen by a click or a key sounds, as on a keyboard.
    connect(m_tones, &QButtonGroup::idClicked, this, [this] { playChosenNote(); });

    m_comboBox1->setCurrentIndex(0);
    RefreshToneButtons();
}

void TFormFaYin::RefreshToneButtons() {
    const int key = musicKeyFromRecord(m_comboBox1->currentIndex());
    for (int n = 1; n <= ToneButtonCount; ++n)
        m_toneButtons[n]->setEnabled(toneButtonEnabled(key, n));
    m_toneButtons[RestButton]->setChecked(true);
}

void TFormFaYin::ComboBox1Change() {
    RefreshToneButtons();
    // The codes keep their values; what they sound as follows the key.
    const int key = musicKeyFromRecord(m_comboBox1->currentIndex());
    for (int i = 0; i < m_noteListBox1->count(); ++i) {
        QListWidgetItem* item = m_noteListBox1->item(i);
        item->setText(noteText(key, noteBytes(item)));
    }
}

TNoteList TFormFaYin::noteList() const {
    TNoteList list;
    for (int i = 0; i < m_noteListBox1->count(); ++i)
        list.notes.push_back(noteBytes(m_noteListBox1->item(i)));
    const QList<QListWidgetItem*> selected = m_noteListBox1->selectedItems();
    list.selected = selected.isEmpty() ? -1 : m_noteListBox1->row(selected.first());
    return list;
}

void TFormFaYin::showNoteList(const TNoteList& list) {
    m_noteListBox1->clear();
    const int key = musicKeyFromRecord(m_comboBox1->currentIndex());
    for (const std::string& note : list.notes)
        addNoteItem(m_noteListBox1, note, key);
    if (list.selected >= 0 && list.selected < m_noteListBox1->count()) {
        m_noteListBox1->setCurrentRow(list.selected);
    } else {
        m_noteListBox1->clearSelection();
        m_noteListBox1->setCurrentRow(-1);
    }
}

std::string TFormFaYin::currentNoteCode() const {
    return noteCode(m_comboBox1->currentIndex(), m_tones->checkedId(), m_comboBox2->currentIndex());
}

void TFormFaYin::Button4Click() {
    const std::string code = currentNoteCode();
    if (code.empty())
        return;
    TNoteList list = noteList();
    list.add(code);
    showNoteList(list);
}

void TFormFaYin::Button5Click() {
    const std::string code = currentNoteCode();
    TNoteList list = noteList();
    if (!code.empty() && list.replace(code))
        showNoteList(list);
}

void TFormFaYin::Button6Click() {
    TNoteList list = noteList();
    if (list.removeSelected())
        showNoteList(list);
}

void TFormFaYin::SpeedButton1Click() {
    TNoteList list = noteList();
    if (list.moveUp())
        showNoteList(list);
}

void TFormFaYin::SpeedButton2Click() {
    TNoteList list = noteList();
    if (list.moveDown())
        showNoteList(list);
}

void TFormFaYin::setValues(const Values& values) {
    m_checkBox1->setChecked(values.keycmd);
    showNoteList(TNoteList{notesFromContent(values.content), -1});
    m_comboBox1->setCurrentIndex(musicKeyFromRecord(values.key));
    RefreshToneButtons();
}

TFormFaYin::Values TFormFaYin::values() const {
    return {m_comboBox1->currentIndex(), m_checkBox1->isChecked(),
            contentFromNotes(noteList().notes)};
}

} // namespace editors

namespace editors {

std::vector<TNoteSound> TFormFaYin::tuneSounds() const {
    const int key = musicKeyFromRecord(m_comboBox1->currentIndex());
    std::vector<TNoteSound> sounds;
    for (const std::string& note : noteList().notes)
        if (const std::optional<TNoteSound> sound = noteSound(key, note, m_tuning))
            sounds.push_back(*sound);
    return sounds;
}

bool TFormFaYin::canPlay() const {
    // Asked when first needed: the sound system is not started with the editor.
    if (!m_canPlay)
        m_canPlay = platform::TTonePlayer::soundAvailable();
    return *m_canPlay;
}

void TFormFaYin::showEvent(QShowEvent* event) {
    TEditorDialog::showEvent(event);
    if (!canPlay()) {
        m_playButton->setEnabled(false);
        m_playButton->setToolTip(
            QCoreApplication::translate("editors", "This computer has no sound output"));
    }
}

void TFormFaYin::playSounds(const std::vector<TNoteSound>& sounds) {
    std::vector<platform::TTone> tones;
    for (const TNoteSound& sound : sounds)
        tones.push_back({sound.hz, sound.ms});
    if (m_player->play(tones))
        m_playButton->setText(QCoreApplication::translate("editors", "Stop"));
}

void TFormFaYin::PlayClick() {
    if (m_player->playing()) {
        m_player->stop();
        m_playButton->setText(QCoreApplication::translate("editors", "Play"));
        return;
    }
    playSounds(tuneSounds());
}

void TFormFaYin::playChosenNote() {
    if (!canPlay())
        return;
    const int key = musicKeyFromRecord(m_comboBox1->currentIndex());
    if (const std::optional<TNoteSound> sound = noteSound(key, currentNoteCode(), m_tuning))
        playSounds({*sound});
}

} // namespace editors
