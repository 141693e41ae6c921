#include "editors/frmYanshi.h"

#include "editors/values/ControlRules.h"
#include "files/Translatable.h"
#include "sim/RobotModel.h"

#include <QCoreApplication>

namespace editors {

TFormYanShi::TFormYanShi(QWidget* parent)
    : TModeLengthForm(parent, QCoreApplication::translate("editors", "Wait"), {},
                      QCoreApplication::translate("editors", "Wait Length:"), WaitSliderMax,
                      robotUnit(&sim::TRobotModel::waitUnitMs, ZV_TRANSLATABLE("sim", "ms"))) {
    setObjectName(QStringLiteral("FormYanShi"));
}

void TFormYanShi::setValues(const Values& values) {
    setLength(values.wait);
}

TFormYanShi::Values TFormYanShi::values() const {
    return {length()};
}

} // namespace editors
