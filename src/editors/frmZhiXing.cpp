#include "editors/frmZhiXing.h"

#include "editors/values/ControlRules.h"
#include "sim/RobotModel.h"

namespace editors {

TFormZhiXing::TFormZhiXing(QWidget* parent)
    : TModeLengthForm(parent, QStringLiteral("Direct"),
                      {QStringLiteral("Forward"), QStringLiteral("Backward"),
                       QStringLiteral("Forward Length"), QStringLiteral("Backward Length")},
                      QStringLiteral("Length:"), DriveSliderMax,
                      robotUnit(&sim::TRobotModel::lengthUnitMm, "mm")) {
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
