#include "editors/frmZhuanXiang.h"

#include "editors/values/ControlRules.h"
#include "sim/RobotModel.h"

namespace editors {

TFormZhuanXiang::TFormZhuanXiang(QWidget* parent)
    : TModeLengthForm(parent, QStringLiteral("Turn"),
                      {QStringLiteral("Turn Left"), QStringLiteral("Turn Right"),
                       QStringLiteral("Turn Left Length"), QStringLiteral("Turn Right Length")},
                      QStringLiteral("Length:"), TurnSliderMax,
                      robotUnit(&sim::TRobotModel::turnUnitDeg, "degrees")) {
    setObjectName(QStringLiteral("FormZhuanXiang"));
}

void TFormZhuanXiang::setValues(const Values& values) {
    setMode(values.mode);
    setLength(values.wait);
}

TFormZhuanXiang::Values TFormZhuanXiang::values() const {
    return {mode(), length()};
}

} // namespace editors
