#include "editors/EditorControls.h"

#include "editors/values/ControlRules.h"
#include "platform/text/CodePage.h"
#include "sim/RobotModel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace editors {

QFont editorFont(int pixels) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixels);
    return font;
}

// ---------------------------------------------------------------------------------------------
// TEditorDialog

TEditorDialog::TEditorDialog(QWidget* parent, const QString& title, TButtons buttons)
    : QDialog(parent) {
    setWindowTitle(title);
    setFont(editorFont());
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    layout->addWidget(m_panel);

    m_buttonRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    auto addButton = [this, row](const QString& name, const QString& caption) {
        auto* button = new QPushButton(caption, m_buttonRow);
        button->setObjectName(name);
        button->setAccessibleName(caption);
        button->setFixedSize(75, 25);
        // Neither default nor auto-default: the frame decides what Enter does (keyPressEvent).
        button->setAutoDefault(false);
        button->setDefault(false);
        row->addWidget(button);
        return button;
    };
    if (buttons == TButtons::OkCancelDelete) {
        m_ok = addButton(QStringLiteral("Button1"), QCoreApplication::translate("editors", "OK"));
        connect(m_ok, &QPushButton::clicked, this, &TEditorDialog::Button1Click);
    }
    QPushButton* cancel =
        addButton(QStringLiteral("Button2"), QCoreApplication::translate("editors", "CANCEL"));
    QPushButton* remove =
        addButton(QStringLiteral("Button3"), QCoreApplication::translate("editors", "DELETE"));
    if (m_ok)
        m_ok->setToolTip(QCoreApplication::translate("editors", "Keep what you set in this block"));
    cancel->setToolTip(
        QCoreApplication::translate("editors", "Close and leave the block as it was"));
    remove->setToolTip(QCoreApplication::translate("editors", "Take this block out of the chart"));
    connect(cancel, &QPushButton::clicked, this, &TEditorDialog::Button2Click);
    connect(remove, &QPushButton::clicked, this, &TEditorDialog::Button3Click);
    row->addStretch();
    layout->addWidget(m_buttonRow);
}

void TEditorDialog::Button1Click() {
    // A click need not take the focus (a script, an accessibility tool): settle the number
    // boxes here so the values read are always within their limits.
    for (TValidateEdit* box : findChildren<TValidateEdit*>())
        box->settle();
    done(static_cast<int>(TEditResult::Ok));
}

void TEditorDialog::Button2Click() {
    done(static_cast<int>(TEditResult::Cancel));
}

void TEditorDialog::Button3Click() {
    done(static_cast<int>(TEditResult::Delete));
}

void TEditorDialog::reject() {
    done(static_cast<int>(TEditResult::Cancel));
}

namespace {

// The property keepEnter sets on a control.
constexpr char kKeepsEnter[] = "editorKeepsEnter";

} // namespace

void TEditorDialog::keepEnter(QWidget* control) {
    control->setProperty(kKeepsEnter, true);
}

bool TEditorDialog::focusKeepsEnter() const {
    // An editable list's text box passes its focus to the list, and a list's cell editor lies
    // inside it: the mark may be on any parent below the dialog.
    for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget())
        if (w->property(kKeepsEnter).toBool())
            return true;
    return false;
}

void TEditorDialog::keyPressEvent(QKeyEvent* event) {
    // Only the keys the focused control left alone arrive here: an open drop-down list takes
    // its own Enter and Escape, a number box brings its text back on Escape and passes it on.
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        Button2Click();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return: {
        event->accept();
        QWidget* focus = focusWidget();
        if (qobject_cast<QPushButton*>(focus) || qobject_cast<QToolButton*>(focus)) {
            if (focus->isEnabled())
                static_cast<QAbstractButton*>(focus)->click();
            return;
        }
        if (m_ok && m_ok->isEnabled() && !focusKeepsEnter())
            m_ok->click();
        return;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

void TEditorDialog::showEvent(QShowEvent* event) {
    if (!m_tabOrderSet) {
        // The buttons were made before the value controls; a widget joins the end of the Tab
        // order when it joins the window, so the row is taken out and put back once.
        auto* frame = static_cast<QBoxLayout*>(layout());
        frame->removeWidget(m_buttonRow);
        m_buttonRow->setParent(nullptr);
        m_buttonRow->setParent(this);
        frame->addWidget(m_buttonRow);
        m_buttonRow->show();
        m_tabOrderSet = true;
    }
    QDialog::showEvent(event);
    // Every showing starts in the first value control (or on CANCEL when there is none).
    QWidget* first = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this && !first; w = w->nextInFocusChain())
        if ((m_panel->isAncestorOf(w) || qobject_cast<QPushButton*>(w)) &&
            (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this))
            first = w;
    // A radio group lets only the button last focused take Tab, which need not be the one
    // chosen now: start on the chosen one.
    if (auto* radio = qobject_cast<QRadioButton*>(first); radio && radio->group())
        if (QAbstractButton* chosen = radio->group()->checkedButton();
            chosen && chosen->isEnabled())
            first = chosen;
    if (first)
        first->setFocus(Qt::TabFocusReason);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

// ---------------------------------------------------------------------------------------------
// TFilteredEdit

TFilteredEdit::TFilteredEdit(QWidget* parent) : QLineEdit(parent) {
    setAcceptDrops(false);
}

bool TFilteredEdit::insertFiltered(const QString& text) {
    QString current = this->text();
    if (hasSelectedText())
        current.remove(selectionStart(), selectedText().size());
    QString taken;
    bool all = true;
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            continue; // line breaks and tabs of a pasted text have no place in one line
        if (acceptChar(c, current + taken))
            taken += c;
        else
            all = false;
    }
    // Nothing taken leaves the selection alone: a refused character replaces nothing.
    if (!taken.isEmpty())
        insert(taken);
    return all;
}

void TFilteredEdit::pasteFiltered(QClipboard::Mode mode) {
    if (isReadOnly())
        return;
    if (!insertFiltered(QApplication::clipboard()->text(mode)))
        emit refused();
    afterPaste();
}

void TFilteredEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    const QString typed = event->text();
    // Text without control characters is typed text (Backspace, Tab, Enter, Escape and Delete
    // carry control characters and pass as they are); surrogate pairs count as typed too.
    const bool printable =
        !typed.isEmpty() &&
        std::none_of(typed.begin(), typed.end(),
                     [](QChar c) { return c.category() == QChar::Other_Control; }) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable && !isReadOnly()) {
        QString current = text();
        if (hasSelectedText())
            current.remove(selectionStart(), selectedText().size());
        bool all = true;
        for (QChar c : typed) {
            if (!acceptChar(c, current)) {
                all = false;
                break;
            }
            current += c;
        }
        if (!all) {
            insertFiltered(typed);
            emit refused();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

bool TFilteredEdit::isPasteAction(const QAction* action) {
    // Newer Qt names the action; older Qt only captions it, in its own translation.
    return action->objectName() == QLatin1String("edit-paste") ||
           action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste") +
                                     QLatin1Char('\t')) ||
           action->text() == QCoreApplication::translate("QLineEdit", "&Paste");
}

void TFilteredEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (isPasteAction(action)) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { pasteFiltered(); });
        }
    }
    menu->exec(event->globalPos());
}

void TFilteredEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection on X11: through the filter like any paste.
    if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TFilteredEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString current = text();
    if (hasSelectedText())
        current.remove(selectionStart(), selectedText().size());
    QString taken;
    for (QChar c : commit)
        if (acceptChar(c, current + taken))
            taken += c;
    if (taken.size() == commit.size()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(taken, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    emit refused();
}

// ---------------------------------------------------------------------------------------------
// TValidateEdit

TValidateEdit::TValidateEdit(QWidget* parent, int minValue, int maxValue)
    : TFilteredEdit(parent), m_min(minValue), m_max(maxValue) {
    setAlignment(Qt::AlignRight);
    m_settledText = QString::number(clampToRange(0, m_min, m_max));
    setText(m_settledText);
}

int TValidateEdit::value() const {
    return numberBoxSettle(text().toStdString(), m_min, m_max);
}

void TValidateEdit::setValue(std::int64_t value) {
    setText(QString::number(clampToRange(value, m_min, m_max)));
    settle();
}

void TValidateEdit::settle() {
    const int value = numberBoxSettle(text().toStdString(), m_min, m_max);
    const QString shown = QString::number(value);
    if (text() != shown)
        setText(shown);
    if (shown != m_settledText) {
        m_settledText = shown;
        emit valueChanged(value);
    }
}

bool TValidateEdit::acceptChar(QChar c, const QString& current) const {
    return c.unicode() < 128 &&
           numberBoxAccepts(static_cast<char>(c.unicode()), current.toStdString());
}

void TValidateEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        setText(m_settledText); // back to the text before the typing
        event->ignore();        // the dialog closes with CANCEL
        return;
    }
    TFilteredEdit::keyPressEvent(event);
}

void TValidateEdit::focusOutEvent(QFocusEvent* event) {
    TFilteredEdit::focusOutEvent(event);
    // A context menu or another window taking the focus is not leaving the box.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        settle();
}

// ---------------------------------------------------------------------------------------------
// TNameEdit

TNameEdit::TNameEdit(QWidget* parent, QLabel* hint) : TFilteredEdit(parent), m_hint(hint) {
    m_hint->setText(hintText());
    m_hint->hide();
    connect(this, &TFilteredEdit::refused, m_hint, &QLabel::show);
}

QString TNameEdit::hintText() {
    return QCoreApplication::translate("editors", "A name cannot hold \"<\" or \"&\".");
}

void TNameEdit::setName(const QString& text) {
    setText(text);
    m_hint->hide();
}

bool TNameEdit::acceptChar(QChar c, const QString&) const {
    return c != QLatin1Char('<') && c != QLatin1Char('&');
}

// ---------------------------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(QWidget* parent, const QString& title, const QStringList& items)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        button->setAccessibleName(items[i]);
        m_buttons->addButton(button, i);
        layout->addWidget(button);
    }
}

int TRadioGroup::itemIndex() const {
    return m_buttons->checkedId();
}

int TRadioGroup::count() const {
    return static_cast<int>(m_buttons->buttons().size());
}

void TRadioGroup::setItemIndex(std::int64_t value) {
    const int index = radioIndexFromValue(value, count());
    if (index < 0) {
        // An exclusive group cannot uncheck its last checked button.
        m_buttons->setExclusive(false);
        for (QAbstractButton* button : m_buttons->buttons())
            button->setChecked(false);
        m_buttons->setExclusive(true);
        return;
    }
    m_buttons->button(index)->setChecked(true);
}

// ---------------------------------------------------------------------------------------------
// TClickLabel, TLamp

TClickLabel::TClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void TClickLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    emit clicked();
}

TLamp::TLamp(QWidget* parent) : QWidget(parent) {
    setFixedSize(32, 32);
}

void TLamp::setLit(bool lit) {
    if (m_lit == lit)
        return;
    m_lit = lit;
    update();
}

QColor TLamp::color() const {
    return m_lit ? QColor(0, 255, 0) : QColor(0, 128, 128);
}

void TLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color());
    painter.drawEllipse(rect().adjusted(1, 1, -2, -2));
}

void TLamp::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    emit clicked();
}

// ---------------------------------------------------------------------------------------------
// Lists and sliders

QComboBox* makeList(QWidget* parent, const QString& name, const QStringList& entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(entries);
    list->setEditable(false);
    return list;
}

QComboBox* makeVariableList(QWidget* parent, const QString& name) {
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters << QString(QLatin1Char(c));
    return makeList(parent, name, letters);
}

QScrollBar* makeSlider(QWidget* parent, const QString& name, int lo, int hi) {
    auto* slider = new QScrollBar(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(lo, hi);
    slider->setSingleStep(1);
    slider->setPageStep(10);
    return slider;
}

namespace {

// TSliderCoupling: the two directions of coupleSlider, owned by the box. While one direction
// moves the other control, the answer coming back is not taken: the slider limits a typed
// number to its range, and that limit must not overwrite the text being typed.
class TSliderCoupling : public QObject {
public:
    TSliderCoupling(TValidateEdit* box, QAbstractSlider* slider)
        : QObject(box), m_box(box), m_slider(slider) {
        connect(box, &QLineEdit::textChanged, this, &TSliderCoupling::boxTextChanged);
        connect(slider, &QAbstractSlider::valueChanged, this, &TSliderCoupling::sliderMoved);
    }

private:
    // The box's text changed (a key, a paste, the program): the slider follows what it reads.
    void boxTextChanged(const QString& text) {
        if (m_busy)
            return;
        m_busy = true;
        m_slider->setValue(clampToRange(numberBoxTextValue(text.toStdString()), m_slider->minimum(),
                                        m_slider->maximum()));
        m_busy = false;
    }
    // The slider moved (arrows, track, drag, keys, the program): the box shows its position.
    void sliderMoved(int position) {
        if (m_busy)
            return;
        m_busy = true;
        m_box->setValue(position);
        m_busy = false;
    }

    TValidateEdit* m_box;
    QAbstractSlider* m_slider;
    bool m_busy = false;
};

} // namespace

void coupleSlider(TValidateEdit* box, QAbstractSlider* slider) {
    new TSliderCoupling(box, slider);
    // Both start at the box's value.
    slider->setValue(clampToRange(box->value(), slider->minimum(), slider->maximum()));
}

QString labelWords(const QString& text) {
    QString words = text;
    words.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    words.remove(QLatin1Char('&'));
    words.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    words = words.simplified(); // the lines joined by one space
    // A trailing colon, the full-width one of Chinese labels too.
    while (words.endsWith(QLatin1Char(':')) || words.endsWith(QChar(0xFF1A)))
        words = words.chopped(1).trimmed();
    return words;
}

QLabel* makeBuddyLabel(QWidget* parent, const QString& text, QWidget* control) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    // The text box of an editable list is a control of its own to a screen reader.
    if (auto* list = qobject_cast<QComboBox*>(control); list && list->lineEdit())
        list->lineEdit()->setAccessibleName(labelWords(text));
    return label;
}

void nameControl(QWidget* control, const QString& name, const QString& tip) {
    control->setAccessibleName(name);
    if (!tip.isEmpty())
        control->setToolTip(tip);
}

namespace {

QString rangeText(const QString& what, int lo, int hi) {
    return QCoreApplication::translate("editors", "%1: %2 to %3").arg(what).arg(lo).arg(hi);
}

} // namespace

void rangeTip(TValidateEdit* box, const QString& what) {
    box->setToolTip(rangeText(what, box->minValue(), box->maxValue()));
}

void rangeTip(QAbstractSlider* slider, const QString& what) {
    slider->setToolTip(rangeText(what, slider->minimum(), slider->maximum()));
}

void setListIndex(QComboBox* list, std::int64_t value) {
    list->setCurrentIndex(listIndexFromValue(value, list->count()));
}

QComboBox* makeNameList(QWidget* parent, const QString& name, QLineEdit* edit) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(true);
    list->setLineEdit(edit);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The list's own size hint knows nothing of the text box's minimum width: without room for
    // it the box would cover the arrow wherever the labels around leave the column narrow.
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = true;
    list->setMinimumWidth(
        list->style()
            ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(edit->minimumWidth(), 0), list)
            .width());
    // Enter is the list's (it picks the entry the typed name matches): it does not mean OK.
    TEditorDialog::keepEnter(list);
    return list;
}

void setNameChoices(QComboBox* list, const std::vector<std::string>& names) {
    QLineEdit* edit = list->lineEdit();
    const QString text = edit ? edit->text() : QString();
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& n : names)
        list->addItem(platform::toQString(n));
    list->setCurrentIndex(-1);
    if (edit)
        edit->setText(text);
}

QString robotUnit(double sim::TRobotModel::*perStep, const char* unit) {
    static const sim::TRobotModel model = sim::DefaultRobotModel();
    const double step = model.*perStep;
    const QString word = QCoreApplication::translate("sim", unit);
    // As sim::UnitText writes it ("mm", "x 10 ms"), with the unit in the interface's language.
    if (step == 1)
        return word;
    // The number as the simulator's text shows it (six significant digits).
    return QCoreApplication::translate("editors", "x %1 %2")
        .arg(QString::number(step, 'g', 6), word);
}

} // namespace editors
