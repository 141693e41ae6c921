#include "editors/ModeLengthForm.h"

#include "editors/values/ControlRules.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>

namespace editors {

TModeLengthForm::TModeLengthForm(QWidget* parent, const QString& title, const QStringList& choices,
                                 const QString& lengthLabel, int sliderMax, const QString& unit)
    : TEditorDialog(parent, title) {
    auto* grid = new QGridLayout(panel());
    int row = 0;
    if (!choices.isEmpty()) {
        m_radioGroup1 = new TRadioGroup(
            panel(), QCoreApplication::translate("editors", "Please choose"), choices);
        m_radioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
        grid->addWidget(m_radioGroup1, row++, 0, 1, 2);
    }
    auto* label = new QLabel(lengthLabel, panel());
    label->setObjectName(QStringLiteral("Label1"));
    m_validateEdit1 = new TValidateEdit(panel(), LengthMin, LengthMax);
    m_validateEdit1->setObjectName(QStringLiteral("ValidateEdit1"));
    label->setBuddy(m_validateEdit1);
    grid->addWidget(label, row, 0);
    grid->addWidget(m_validateEdit1, row, 1);
    auto* unitLabel = new QLabel(unit, panel());
    unitLabel->setObjectName(QStringLiteral("UnitLabel"));
    grid->addWidget(unitLabel, row++, 2);
    m_scrollBar1 = makeSlider(panel(), QStringLiteral("ScrollBar1"), LengthMin, sliderMax);
    m_scrollBar1->setMinimumWidth(300);
    const QString words =
        QCoreApplication::translate("editors", "%1 (%2)").arg(labelWords(lengthLabel), unit);
    rangeTip(m_validateEdit1, words);
    nameControl(m_scrollBar1, words);
    rangeTip(m_scrollBar1, words);
    grid->addWidget(m_scrollBar1, row, 0, 1, 3);

    coupleSlider(m_validateEdit1, m_scrollBar1);
}

void TModeLengthForm::setMode(std::int64_t mode) {
    if (m_radioGroup1)
        m_radioGroup1->setItemIndex(mode);
}

int TModeLengthForm::mode() const {
    return m_radioGroup1 ? m_radioGroup1->itemIndex() : -1;
}

void TModeLengthForm::setLength(std::int64_t length) {
    m_validateEdit1->setValue(length);
}

int TModeLengthForm::length() const {
    return m_validateEdit1->value();
}

} // namespace editors
