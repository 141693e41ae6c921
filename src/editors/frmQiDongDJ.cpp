#include "editors/frmQiDongDJ.h"

#include "editors/values/ControlRules.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

namespace editors {

namespace {

// One speed row: the number box over its name, the slider over "Backward", "Stop", "Forward".
void addSpeedRow(QWidget* panel, QGridLayout* grid, int row, const QString& name,
                 TValidateEdit* box, QScrollBar* slider) {
    grid->addWidget(box, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(new QLabel(name, panel), row + 1, 0);
    auto* marks = new QHBoxLayout;
    marks->addWidget(new QLabel(QStringLiteral("Backward"), panel));
    marks->addStretch();
    marks->addWidget(new QLabel(QStringLiteral("Stop"), panel));
    marks->addStretch();
    marks->addWidget(new QLabel(QStringLiteral("Forward"), panel));
    grid->addLayout(marks, row + 1, 1);
}

} // namespace

TFormQiDongDJ::TFormQiDongDJ(QWidget* parent) : TEditorDialog(parent, QStringLiteral("Motor On")) {
    setObjectName(QStringLiteral("FormQiDongDJ"));
    auto* grid = new QGridLayout(panel());
    m_validateEdit1 = new TValidateEdit(panel(), MotorMin, MotorMax);
    m_validateEdit1->setObjectName(QStringLiteral("ValidateEdit1"));
    m_validateEdit2 = new TValidateEdit(panel(), MotorMin, MotorMax);
    m_validateEdit2->setObjectName(QStringLiteral("ValidateEdit2"));
    m_scrollBar1 = makeSlider(panel(), QStringLiteral("ScrollBar1"), MotorMin, MotorMax);
    m_scrollBar2 = makeSlider(panel(), QStringLiteral("ScrollBar2"), MotorMin, MotorMax);
    m_validateEdit1->setFixedWidth(90);
    m_validateEdit2->setFixedWidth(90);
    m_scrollBar1->setMinimumWidth(300);
    m_scrollBar2->setMinimumWidth(300);
    addSpeedRow(panel(), grid, 0, QStringLiteral("L Speed"), m_validateEdit1, m_scrollBar1);
    addSpeedRow(panel(), grid, 2, QStringLiteral("R Speed"), m_validateEdit2, m_scrollBar2);

    connect(m_scrollBar1, &QScrollBar::valueChanged, this, &TFormQiDongDJ::ScrollBar1Change);
    connect(m_validateEdit1, &TValidateEdit::valueChanged, this,
            &TFormQiDongDJ::ValidateEdit1ValueChanged);
    connect(m_scrollBar2, &QScrollBar::valueChanged, this, &TFormQiDongDJ::ScrollBar2Change);
    connect(m_validateEdit2, &TValidateEdit::valueChanged, this,
            &TFormQiDongDJ::ValidateEdit2ValueChanged);
}

void TFormQiDongDJ::ScrollBar1Change(int position) {
    m_validateEdit1->setValue(position);
}

void TFormQiDongDJ::ValidateEdit1ValueChanged(int value) {
    m_scrollBar1->setValue(value);
}

void TFormQiDongDJ::ScrollBar2Change(int position) {
    m_validateEdit2->setValue(position);
}

void TFormQiDongDJ::ValidateEdit2ValueChanged(int value) {
    m_scrollBar2->setValue(value);
}

void TFormQiDongDJ::setValues(const Values& values) {
    m_scrollBar1->setValue(clampToRange(values.motorL, MotorMin, MotorMax));
    m_validateEdit1->setValue(m_scrollBar1->value());
    m_scrollBar2->setValue(clampToRange(values.motorR, MotorMin, MotorMax));
    m_validateEdit2->setValue(m_scrollBar2->value());
}

TFormQiDongDJ::Values TFormQiDongDJ::values() const {
    return {m_scrollBar1->value(), m_scrollBar2->value()};
}

} // namespace editors
