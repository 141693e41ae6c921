#include "editors/NameForm.h"

#include "platform/text/CodePage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>

namespace editors {

TNameForm::TNameForm(QWidget* parent, const QString& title, const QString& label, TNames names)
    : TEditorDialog(parent, title) {
    auto* grid = new QGridLayout(panel());
    auto* hint = new QLabel(panel());
    hint->setObjectName(QStringLiteral("LabelHint"));
    hint->setFont(editorFont(13));
    m_edit1 = new TNameEdit(panel(), hint);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setMinimumWidth(200);
    if (names == TNames::Offered) {
        m_nameList1 = makeNameList(panel(), QStringLiteral("NameList1"), m_edit1);
        m_nameList1->setToolTip(
            QCoreApplication::translate("editors", "Type a name or pick one from the list"));
        grid->addWidget(makeBuddyLabel(panel(), label, m_nameList1), 0, 0);
        grid->addWidget(m_nameList1, 0, 1);
    } else {
        grid->addWidget(makeBuddyLabel(panel(), label, m_edit1), 0, 0);
        grid->addWidget(m_edit1, 0, 1);
    }
    grid->addWidget(hint, 1, 1);
    // Keep the frame's size when the hint appears.
    QSizePolicy keep = hint->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    hint->setSizePolicy(keep);
}

void TNameForm::setNameChoices(const std::vector<std::string>& names) {
    if (m_nameList1)
        editors::setNameChoices(m_nameList1, names);
}

void TNameForm::setName(const std::string& name) {
    m_edit1->setName(platform::toQString(name));
}

std::string TNameForm::name() const {
    return platform::fromQString(m_edit1->text());
}

} // namespace editors
