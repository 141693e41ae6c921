#include "editors/frmZhuanXiang.h"

#include "editors/values/ControlRules.h"
#include "files/Translatable.h"
#include "sim/RobotModel.h"

#include <QCoreApplication>

namespace editors {

TFormZhuanXiang::TFormZhuanXiang(QWidget* parent)
    : TModeLengthForm(
          parent, QCoreApplication::translate("editors", "Turn"),
          {QCoreApplication::translate("editors", "Turn Left"),
           QCoreApplication::translate("editors", "Turn Right"),
           QCoreApplication::translate("editors", "Turn Left Length"),
           QCoreApplication::translate("editors", "Turn Right Length")},
          QCoreApplication::translate("editors", "Length:"), TurnSliderMax,
          robotUnit(&sim::TRobotModel::turnUnitDeg, ZV_TRANSLATABLE("sim", "degrees"))) {
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
