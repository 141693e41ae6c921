#include "editors/frmGOTOIF.h"

#include "platform/text/CodePage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>

namespace editors {

TFormGOTOIF::TFormGOTOIF(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "GOTO IF")) {
    setObjectName(QStringLiteral("FormGOTOIF"));
    auto* grid = new QGridLayout(panel());
    m_edit2 = new TStatementEdit(panel());
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_edit2->setMinimumWidth(240);
    m_edit1 = new TStatementEdit(panel());
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_nameList1 = makeNameList(panel(), QStringLiteral("NameList1"), m_edit1);
    m_nameList1->setToolTip(
        QCoreApplication::translate("editors", "Type a label or pick one from the list"));
    grid->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "Expression:"), m_edit2), 0,
        0);
    grid->addWidget(m_edit2, 0, 1);
    grid->addWidget(
        makeBuddyLabel(panel(),
                       QCoreApplication::translate("editors", "If condition TRUE\nGOTO Label:"),
                       m_nameList1),
        1, 0);
    grid->addWidget(m_nameList1, 1, 1);
}

void TFormGOTOIF::setValues(const Values& values) {
    m_edit2->setText(platform::toQString(values.condition));
    m_edit1->setText(platform::toQString(values.label));
}

void TFormGOTOIF::setNameChoices(const std::vector<std::string>& names) {
    editors::setNameChoices(m_nameList1, names);
}

TFormGOTOIF::Values TFormGOTOIF::values() const {
    return {platform::fromQString(m_edit2->text()), platform::fromQString(m_edit1->text())};
}

} // namespace editors
