#include "editors/frmBiaoDaShi.h"

#include "platform/text/CodePage.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace editors {

TFormBiaoDaShi::TFormBiaoDaShi(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "Expression or Statement")) {
    setObjectName(QStringLiteral("FormBiaoDaShi"));
    auto* layout = new QVBoxLayout(panel());
    m_edit1 = new TStatementEdit(panel());
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    layout->addWidget(makeBuddyLabel(
        panel(), QCoreApplication::translate("editors", "Expression or Statement:"), m_edit1));
    m_edit1->setMinimumWidth(420);
    layout->addWidget(m_edit1);
    auto* note = new QLabel(
        QCoreApplication::translate("editors", "Please input a valid statement."), panel());
    note->setFont(editorFont(13));
    layout->addWidget(note);
}

void TFormBiaoDaShi::setValues(const Values& values) {
    m_edit1->setText(platform::toQString(values.command));
}

TFormBiaoDaShi::Values TFormBiaoDaShi::values() const {
    return {platform::fromQString(m_edit1->text())};
}

} // namespace editors
