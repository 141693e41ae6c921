#include "editors/frmZhiXing.h"

#include "editors/values/ControlRules.h"
#include "files/Translatable.h"
#include "sim/RobotModel.h"

#include <QCoreApplication>

namespace editors {

TFormZhiXing::TFormZhiXing(QWidget* parent)
    : TModeLengthForm(parent, QCoreApplication::translate("editors", "Direct"),
                      {QCoreApplication::translate("editors", "Forward"),
                       QCoreApplication::translate("editors", "Backward"),
                       QCoreApplication::translate("editors", "Forward Length"),
                       QCoreApplication::translate("editors", "Backward Length")},
                      QCoreApplication::translate("editors", "Length:"), DriveSliderMax,
                      robotUnit(&sim::TRobotModel::lengthUnitMm, ZV_TRANSLATABLE("sim", "mm"))) {
    setObjectName(QStringLiteral("FormZhiXing"));
}

void TFormZhiXing::setValues(const Values& values) {
    setMode(values.mode);
    setLength(values.wait);
}

TFormZhiXing::Values TFormZhiXing::values() const {
    return {mode(), length()};
}

} // namespace editors
