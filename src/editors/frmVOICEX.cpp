#include "editors/frmVOICEX.h"

#include "platform/text/CodePage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>

namespace editors {

TFormVOICEX::TFormVOICEX(QWidget* parent)
    : TEditorDialog(parent, QCoreApplication::translate("editors", "VoiceX")) {
    setObjectName(QStringLiteral("FormVOICEX"));
    auto* grid = new QGridLayout(panel());
    m_comboBox1 = makeList(panel(), QStringLiteral("ComboBox1"), {});
    m_comboBox1->setFixedWidth(260);
    m_comboBox1->setMaxVisibleItems(20);
    m_comboBox1->setToolTip(QCoreApplication::translate("editors", "The phrase the robot says"));
    grid->addWidget(
        makeBuddyLabel(panel(), QCoreApplication::translate("editors", "VoiceX: "), m_comboBox1), 0,
        0);
    grid->addWidget(m_comboBox1, 0, 1);
    grid->addWidget(
        new QLabel(QCoreApplication::translate("editors", "note (*) means:\n"
                                                          "Voice of Women in the Men module,\n"
                                                          "Voice of Men in the Women module."),
                   panel()),
        1, 0, 1, 2);
}

void TFormVOICEX::setPhrases(std::vector<std::string> phrases) {
    m_phrases = std::move(phrases);
    m_comboBox1->clear();
    // Each phrase with the number the robot knows it by ("3: Hello").
    for (std::size_t i = 0; i < m_phrases.size(); ++i)
        m_comboBox1->addItem(
            QStringLiteral("%1: %2").arg(i).arg(platform::toQString(m_phrases[i])));
    m_comboBox1->setCurrentIndex(m_phrases.empty() ? -1 : 0);
}

void TFormVOICEX::setValues(const Values& values) {
    setListIndex(m_comboBox1, values.index);
}

TFormVOICEX::Values TFormVOICEX::values() const {
    return {m_comboBox1->currentIndex()};
}

std::string TFormVOICEX::chosenText() const {
    const int index = m_comboBox1->currentIndex();
    if (index < 0 || index >= phraseCount())
        return {};
    return m_phrases[static_cast<std::size_t>(index)];
}

} // namespace editors
