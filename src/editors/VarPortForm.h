// The frame the IO Input, Digital Sensor and Analog Sensor editors share: a variable, "= ",
// and a port or sensor.
#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TVarPortForm: the variable list ComboBox1, a "= " and the list ComboBox2 under its label.
class TVarPortForm : public TEditorDialog {
public:
    TVarPortForm(QWidget* parent, const QString& title, const QString& varLabel,
                 const QString& portLabel, const QStringList& ports);

protected:
    void setVarPort(std::int64_t var, std::int64_t port);
    int var() const;
    int port() const;

private:
    QComboBox* m_comboBox1 = nullptr;
    QComboBox* m_comboBox2 = nullptr;
};

} // namespace editors
