#include "editors/frmTingZhiDJ.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace editors {

TFormTingZhiDJ::TFormTingZhiDJ(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Motor Off")) {
    setObjectName(QStringLiteral("FormTingZhiDJ"));
    auto* layout = new QVBoxLayout(panel());
    m_radioGroup1 =
        new TRadioGroup(panel(), QCoreApplication::translate("editors", "Please choose"),
                        {QCoreApplication::translate("editors", "Stop that \"Direct\" or \"Turn\""),
                         QCoreApplication::translate("editors", "Stop that \"Motor On\"")});
    m_radioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    layout->addWidget(m_radioGroup1);
}

void TFormTingZhiDJ::setValues(const Values& values) {
    m_radioGroup1->setItemIndex(values.mode);
}

TFormTingZhiDJ::Values TFormTingZhiDJ::values() const {
    return {m_radioGroup1->itemIndex()};
}

} // namespace editors
