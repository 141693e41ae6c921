// The controls the editor dialogs share: the common dialog frame with its button row, the
// number box, the name edit, radio groups, fixed lists, clickable labels and LED lamps.
#pragma once

#include "editors/values/EditorValues.h"

#include <QClipboard>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <string>
#include <vector>

class QAbstractSlider;
class QAction;
class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QVBoxLayout;

namespace sim {
struct TRobotModel;
}

namespace editors {

// The font of every editor dialog: Courier New with a character height of `pixels`.
QFont editorFont(int pixels = 16);

// TEditorDialog: the common frame of every block editor. A fixed-size window centred on the
// screen with a panel for the value controls and a row of 75 x 25 buttons "OK" (Button1),
// "CANCEL" (Button2) and "DELETE" (Button3), closing with OK = 1, CANCEL = 2, DELETE = 7.
// The keys are the frame's, not the buttons' (no button is a default button): Escape and the
// frame's close button give CANCEL; Enter on a focused push or tool button presses that button,
// Enter in a control marked with keepEnter does nothing here, and Enter anywhere else means OK
// (nothing in a dialog without OK).
class TEditorDialog : public QDialog {
public:
    enum class TButtons { OkCancelDelete, CancelDelete };

    TEditorDialog(QWidget* parent, const QString& title,
                  TButtons buttons = TButtons::OkCancelDelete);

    // The panel that holds the dialog's value controls (it has no layout of its own).
    QWidget* panel() const { return m_panel; }

    void reject() override; // the frame's close button: CANCEL

    // Marks `control` (a list that gives Enter a meaning of its own) so that Enter there does not
    // close the dialog it is in.
    static void keepEnter(QWidget* control);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // OK: settle the number boxes first, as leaving them would, then close with OK.
    void Button1Click();
    // CANCEL: close with CANCEL.
    void Button2Click();
    // DELETE: close with DELETE.
    void Button3Click();

    // Whether Enter is for the focused control itself (keepEnter on it or on a parent).
    bool focusKeepsEnter() const;

    QWidget* m_panel = nullptr;
    QWidget* m_buttonRow = nullptr;
    QPushButton* m_ok = nullptr;
    bool m_tabOrderSet = false;
};

// TFilteredEdit: a one-line edit that takes typed, pasted and composed text only through
// acceptChar, so no way of entering text gets round the filter (drops are not taken).
class TFilteredEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TFilteredEdit(QWidget* parent);

    // Whether an action of the standard context menu is its Paste.
    static bool isPasteAction(const QAction* action);

signals:
    // A typed or pasted character was refused.
    void refused();

protected:
    // Whether `c` may go into the text `current` (the text without the selection it replaces,
    // plus what was taken before it from the same insertion).
    virtual bool acceptChar(QChar c, const QString& current) const = 0;
    // Called after a paste or drop has inserted its accepted characters.
    virtual void afterPaste() {}

    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Inserts the accepted characters of `text` in place of the selection; true when every
    // character was accepted.
    bool insertFiltered(const QString& text);

private:
    void pasteFiltered(QClipboard::Mode mode = QClipboard::Clipboard);
};

// TValidateEdit: the number box. Digits and one "+" and one "-" can be typed; pasted text is
// filtered the same way and then settled. On leaving the box, and when the program sets its
// value, the text is read as a decimal integer (0 when it is not one), limited to the box's
// range and shown again; valueChanged follows when the shown text differs from the one after
// the previous such step. Escape brings that text back. The text is right-aligned.
class TValidateEdit : public TFilteredEdit {
    Q_OBJECT

public:
    TValidateEdit(QWidget* parent, int minValue, int maxValue);

    int minValue() const { return m_min; }
    int maxValue() const { return m_max; }
    // The value the text stands for, as leaving the box would show it: read as a decimal
    // integer (0 when it is not one) and limited to the range.
    int value() const;
    // Shows `value` limited to the range, as if typed and left.
    void setValue(std::int64_t value);
    // Reads, limits and shows the current text again, as leaving the box does.
    void settle();

signals:
    void valueChanged(int value);

protected:
    bool acceptChar(QChar c, const QString& current) const override;
    void afterPaste() override { settle(); }
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_min;
    int m_max;
    QString m_settledText; // the text after the last settling step
};

// TStatementEdit: the edit of an expression or a condition: any text that stays on one line.
// Line breaks, NUL and the other control characters would break the statement out of its
// program line; typed or pasted, they are left out.
class TStatementEdit : public TFilteredEdit {
    Q_OBJECT

public:
    using TFilteredEdit::TFilteredEdit;

protected:
    bool acceptChar(QChar, const QString&) const override { return true; }
};

// TNameEdit: the edit of a label or subroutine name. "<" and "&" would make the record, and so
// the chart file, unreadable: they are refused, typed or pasted, and a short hint appears in
// `hint` until the next showing. Text that is set by the program is taken as it is.
class TNameEdit : public TFilteredEdit {
    Q_OBJECT

public:
    TNameEdit(QWidget* parent, QLabel* hint);
    // Sets the text and hides the hint.
    void setName(const QString& text);

    static QString hintText();

protected:
    bool acceptChar(QChar c, const QString& current) const override;

private:
    QLabel* m_hint;
};

// TRadioGroup: a headed group of radio buttons with the index of the chosen one (-1: none).
class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(QWidget* parent, const QString& title, const QStringList& items);
    int itemIndex() const;
    // -1 (or any negative index) chooses none, an index above the last chooses the last.
    void setItemIndex(std::int64_t index);
    int count() const;

private:
    QButtonGroup* m_buttons;
};

// TClickLabel: a label that reports clicks.
class TClickLabel : public QLabel {
    Q_OBJECT

public:
    TClickLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// TLamp: one LED of the robot, lit (lime) or dark (teal); reports clicks.
class TLamp : public QWidget {
    Q_OBJECT

public:
    explicit TLamp(QWidget* parent);
    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    QColor color() const;

    QSize sizeHint() const override { return {32, 32}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_lit = false;
};

// A drop-down list of fixed entries named `name`.
QComboBox* makeList(QWidget* parent, const QString& name, const QStringList& entries);
// The variable list: "A" to "Z".
QComboBox* makeVariableList(QWidget* parent, const QString& name);
// A horizontal slider over lo..hi moving by 1 on the arrows and by 10 in the track.
QScrollBar* makeSlider(QWidget* parent, const QString& name, int lo, int hi);
// Couples a number box and a slider that set the same value. The slider follows every text of
// the box as it stands, typed or set, before it is settled (limited to the slider's range; the
// box keeps its text, so a number beyond the slider's end stays as typed until the box settles
// it within its own range). The box shows the slider's position whenever the slider moves. Set
// the value through the box: the slider follows.
void coupleSlider(TValidateEdit* box, QAbstractSlider* slider);
// What a screen reader says. A control beside a label takes the label as its buddy
// (makeBuddyLabel); a control without one is named with nameControl. Number boxes and sliders
// tell their value and its range in the tooltip (rangeTip).

// The words of a label as a name: the lines joined, without "&" marks and a trailing ":".
QString labelWords(const QString& text);
// A label showing `text` with `control` as its buddy. The text box of an editable list is
// named with the label's words too.
QLabel* makeBuddyLabel(QWidget* parent, const QString& text, QWidget* control);
// Names `control` `name` and, when `tip` is not empty, says in its tooltip what it is for.
void nameControl(QWidget* control, const QString& name, const QString& tip = {});
// The tooltip of a number box or slider: "<what>: <lowest> to <highest>".
void rangeTip(TValidateEdit* box, const QString& what);
void rangeTip(QAbstractSlider* slider, const QString& what);

// Chooses list entry `value` of a record, or none when it is not an entry.
void setListIndex(QComboBox* list, std::int64_t value);
// An editable list named `name` whose text box is `edit` (which keeps its name and its filter):
// the name typed, or one of the names offered picked from the list. Nothing typed is added to
// the list and nothing typed is completed: the text is what the person typed or picked. Enter
// in the list does not close its dialog (TEditorDialog::keepEnter).
QComboBox* makeNameList(QWidget* parent, const QString& name, QLineEdit* edit);
// Offers the names (bytes of the system code page) in the list; the text stays as it is.
void setNameChoices(QComboBox* list, const std::vector<std::string>& names);

// The unit of a number of the robot's statements, from the robot model the simulator uses
// ("mm", "x 10 ms"), shown beside the number in the interface's language. `unit` is a unit
// word marked for translation in the context "sim" (ZV_TRANSLATABLE("sim", "mm")).
QString robotUnit(double sim::TRobotModel::*perStep, const char* unit);

} // namespace editors
