#include "editors/frmServo.h"

#include "editors/values/ControlRules.h"
#include "files/Translatable.h"
#include "sim/RobotModel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QScrollBar>

namespace editors {

namespace {

QScrollBar* makeVerticalSlider(QWidget* parent, const QString& name, int lo, int hi, int page,
                               int height) {
    auto* slider = new QScrollBar(Qt::Vertical, parent);
    slider->setObjectName(name);
    slider->setRange(lo, hi);
    slider->setSingleStep(1);
    slider->setPageStep(page);
    slider->setFixedHeight(height);
    return slider;
}

} // namespace

TFormServo::TFormServo(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Servo")) {
    setObjectName(QStringLiteral("FormServo"));
    auto* grid = new QGridLayout(panel());
    grid->setHorizontalSpacing(16);
    for (int i = 0; i < 5; ++i) {
        const int tag = i + 1;
        auto* head = new QLabel(QStringLiteral("#%1").arg(tag), panel());
        m_scrollBars[i] = makeVerticalSlider(panel(), QStringLiteral("ScrollBar%1").arg(tag),
                                             ServoMin, ServoMax, 5, 180);
        m_scrollBars[i]->setProperty("tag", tag);
        m_scrollBars[i]->setValue(9);
        head->setBuddy(m_scrollBars[i]);
        nameControl(m_scrollBars[i], QCoreApplication::translate("editors", "Servo %1").arg(tag));
        rangeTip(m_scrollBars[i],
                 QCoreApplication::translate("editors", "Position of servo %1").arg(tag));
        m_labelVals[i] = new QLabel(QStringLiteral("9"), panel());
        m_labelVals[i]->setObjectName(QStringLiteral("LabelVal%1").arg(tag));
        grid->addWidget(head, 0, i, Qt::AlignHCenter);
        grid->addWidget(m_scrollBars[i], 1, i, 3, 1, Qt::AlignHCenter);
        grid->addWidget(m_labelVals[i], 4, i, Qt::AlignHCenter);
        connect(m_scrollBars[i], &QScrollBar::valueChanged, this,
                [this, tag](int) { ScrollBarSChange(tag); });
    }
    grid->addWidget(new QLabel(QCoreApplication::translate("editors", "Speed"), panel()), 0, 5, 1,
                    2, Qt::AlignHCenter);
    m_scrollBarSpeed = makeVerticalSlider(panel(), QStringLiteral("ScrollBarSpeed"), ServoSpeedMin,
                                          ServoSpeedMax, 3, 110);
    nameControl(m_scrollBarSpeed, QCoreApplication::translate("editors", "Speed"));
    rangeTip(m_scrollBarSpeed,
             QCoreApplication::translate("editors", "Speed of the servos (1 slow, 5 fast)"));
    grid->addWidget(m_scrollBarSpeed, 1, 5, 2, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QCoreApplication::translate("editors", "Slow"), panel()), 1, 6,
                    Qt::AlignTop);
    grid->addWidget(new QLabel(QCoreApplication::translate("editors", "Fast"), panel()), 2, 6,
                    Qt::AlignBottom);
    m_labelSpdVal = new QLabel(QStringLiteral("1"), panel());
    m_labelSpdVal->setObjectName(QStringLiteral("LabelSpdVal"));
    grid->addWidget(m_labelSpdVal, 3, 5, Qt::AlignHCenter | Qt::AlignTop);
    connect(m_scrollBarSpeed, &QScrollBar::valueChanged, this, &TFormServo::ScrollBarSpeedChange);
    // What a position means on the robot: each step turns the servo by the robot model's angle.
    auto* unit = new QLabel(
        QCoreApplication::translate("editors", "Position (%1 to %2): %3")
            .arg(ServoMin)
            .arg(ServoMax)
            .arg(robotUnit(&sim::TRobotModel::servoDegPerStep, ZV_TRANSLATABLE("sim", "degrees"))),
        panel());
    unit->setObjectName(QStringLiteral("UnitLabel"));
    grid->addWidget(unit, 5, 0, 1, 5, Qt::AlignHCenter);
}

void TFormServo::ScrollBarSChange(int tag) {
    m_labelVals[tag - 1]->setText(QString::number(m_scrollBars[tag - 1]->value()));
}

void TFormServo::ScrollBarSpeedChange() {
    m_labelSpdVal->setText(QString::number(m_scrollBarSpeed->value()));
}

void TFormServo::setValues(const Values& values) {
    for (int i = 0; i < 5; ++i)
        m_scrollBars[i]->setValue(clampToRange(values.data[i], ServoMin, ServoMax));
    m_scrollBarSpeed->setValue(clampToRange(values.speed, ServoSpeedMin, ServoSpeedMax));
}

TFormServo::Values TFormServo::values() const {
    Values values;
    for (int i = 0; i < 5; ++i)
        values.data[i] = m_scrollBars[i]->value();
    values.speed = m_scrollBarSpeed->value();
    return values;
}

} // namespace editors
