#include "editors/VarPortForm.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>

namespace editors {

TVarPortForm::TVarPortForm(QWidget* parent, const QString& title, const QString& varLabel,
                           const QString& portLabel, const QStringList& ports)
    : TEditorDialog(parent, title) {
    auto* grid = new QGridLayout(panel());
    m_comboBox1 = makeVariableList(panel(), QStringLiteral("ComboBox1"));
    m_comboBox2 = makeList(panel(), QStringLiteral("ComboBox2"), ports);
    grid->addWidget(makeBuddyLabel(panel(), varLabel, m_comboBox1), 0, 0);
    grid->addWidget(makeBuddyLabel(panel(), portLabel, m_comboBox2), 0, 2);
    m_comboBox1->setToolTip(
        QCoreApplication::translate("editors", "The variable that gets the value"));
    grid->addWidget(m_comboBox1, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("= "), panel()), 1, 1);
    grid->addWidget(m_comboBox2, 1, 2);
}

void TVarPortForm::setVarPort(std::int64_t var, std::int64_t port) {
    setListIndex(m_comboBox1, var);
    setListIndex(m_comboBox2, port);
}

int TVarPortForm::var() const {
    return m_comboBox1->currentIndex();
}

int TVarPortForm::port() const {
    return m_comboBox2->currentIndex();
}

} // namespace editors
