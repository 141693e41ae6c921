#include "editors/frmYanshi.h"

#include "editors/values/ControlRules.h"

namespace editors {

TFormYanShi::TFormYanShi(QWidget* parent)
    : TModeLengthForm(parent, QStringLiteral("Wait"), {}, QStringLiteral("Wait Length:"),
                      WaitSliderMax) {
    setObjectName(QStringLiteral("FormYanShi"));
}

void TFormYanShi::setValues(const Values& values) {
    setLength(values.wait);
}

TFormYanShi::Values TFormYanShi::values() const {
    return {length()};
}

} // namespace editors
