#include "editors/frmYanshi.h"

#include "editors/values/ControlRules.h"
#include "sim/RobotModel.h"

namespace editors {

TFormYanShi::TFormYanShi(QWidget* parent)
    : TModeLengthForm(parent, QStringLiteral("Wait"), {}, QStringLiteral("Wait Length:"),
                      WaitSliderMax, robotUnit(&sim::TRobotModel::waitUnitMs, "ms")) {
    setObjectName(QStringLiteral("FormYanShi"));
}

void TFormYanShi::setValues(const Values& values) {
    setLength(values.wait);
}

TFormYanShi::Values TFormYanShi::values() const {
    return {length()};
}

} // namespace editors
