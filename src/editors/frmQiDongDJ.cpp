#include "editors/frmQiDongDJ.h"

#include "editors/values/ControlRules.h"
#include "files/Translatable.h"
#include "sim/RobotModel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

namespace editors {

namespace {

// One speed row: the number box over its name, the slider over "Backward", "Stop", "Forward",
// and the wheel speed's unit after the slider.
void addSpeedRow(QWidget* panel, QGridLayout* grid, int row, const QString& name,
                 const QString& words, TValidateEdit* box, QScrollBar* slider) {
    grid->addWidget(box, row, 0);
    grid->addWidget(slider, row, 1);
    auto* unit = new QLabel(
        robotUnit(&sim::TRobotModel::motorUnitMmS, ZV_TRANSLATABLE("sim", "mm/s")), panel);
    unit->setObjectName(QStringLiteral("UnitLabel%1").arg(row / 2 + 1));
    grid->addWidget(unit, row, 2);
    grid->addWidget(makeBuddyLabel(panel, name, box), row + 1, 0);
    const QString what =
        QCoreApplication::translate("editors", "%1 (below 0 backward, 0 stop, above 0 forward)")
            .arg(words);
    rangeTip(box, what);
    nameControl(slider, name);
    rangeTip(slider, what);
    auto* marks = new QHBoxLayout;
    marks->addWidget(new QLabel(QCoreApplication::translate("editors", "Backward"), panel));
    marks->addStretch();
    marks->addWidget(new QLabel(QCoreApplication::translate("editors", "Stop"), panel));
    marks->addStretch();
    marks->addWidget(new QLabel(QCoreApplication::translate("editors", "Forward"), panel));
    grid->addLayout(marks, row + 1, 1);
}

} // namespace

TFormQiDongDJ::TFormQiDongDJ(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Motor On")) {
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
    addSpeedRow(panel(), grid, 0, QCoreApplication::translate("editors", "L Speed"),
                QCoreApplication::translate("editors", "Left motor speed"), m_validateEdit1,
                m_scrollBar1);
    addSpeedRow(panel(), grid, 2, QCoreApplication::translate("editors", "R Speed"),
                QCoreApplication::translate("editors", "Right motor speed"), m_validateEdit2,
                m_scrollBar2);

    coupleSlider(m_validateEdit1, m_scrollBar1);
    coupleSlider(m_validateEdit2, m_scrollBar2);
}

void TFormQiDongDJ::setValues(const Values& values) {
    m_validateEdit1->setValue(values.motorL);
    m_validateEdit2->setValue(values.motorR);
}

TFormQiDongDJ::Values TFormQiDongDJ::values() const {
    return {m_validateEdit1->value(), m_validateEdit2->value()};
}

} // namespace editors
